#!/usr/bin/env python3
"""Writes the installer's macros for the channels the release ships (the [SiteN] sections of
installer/dova.ini), to stdout:

  DovaAddShippedChannels       on an upgrade: each shipped channel whose URL no section of the
                               user's dova.ini has is added after the user's own channels
  DovaLocaliseShippedChannels  on a first installation in Russian: Bing's market becomes ru-RU

    python3 installer/shipped_channels.py installer/dova.ini
"""
import configparser
import sys

KEYS = ("URL", "WPURL", "IMAGE", "PICTURE", "SUFFIX", "CAPTION")


def nsis(text):
    """An NSIS string: "$" doubled, and no quote or line break, which none of ours needs."""
    if any(c in text for c in '"\r\n`'):
        raise ValueError("cannot quote for NSIS: %r" % text)
    return '"' + text.replace("$", "$$") + '"'


def russian(wpurl):
    return wpurl.replace("mkt=en-US", "mkt=ru-RU")


def main(path):
    ini = configparser.RawConfigParser(delimiters=("=",), comment_prefixes=(), strict=True)
    ini.optionxform = str
    with open(path, encoding="ascii") as f:
        ini.read_file(f)
    sites = [s for s in ini.sections() if s.startswith("Site")]
    print("!macro DovaAddShippedChannels")
    for site in sites:
        values = [ini.get(site, key, fallback="") for key in KEYS]
        wpurl = values[1]
        if russian(wpurl) != wpurl:
            print("  ${If} $LANGUAGE == ${LANG_RUSSIAN}")
            print("    StrCpy $R2 %s" % nsis(russian(wpurl)))
            print("  ${Else}")
            print("    StrCpy $R2 %s" % nsis(wpurl))
            print("  ${EndIf}")
        else:
            print("  StrCpy $R2 %s" % nsis(wpurl))
        for register, value in zip(("$R1", "$R3", "$R4", "$R5", "$R6"),
                                   (values[0],) + tuple(values[2:])):
            print("  StrCpy %s %s" % (register, nsis(value)))
        print("  Call AddShippedChannel")
    print("!macroend")
    print("!macro DovaLocaliseShippedChannels")
    for site in sites:
        wpurl = ini.get(site, "WPURL")
        if russian(wpurl) != wpurl:
            print('  WriteINIStr "$INSTDIR\\Sites\\dova.ini" %s "WPURL" %s'
                  % (nsis(site), nsis(russian(wpurl))))
    print("!macroend")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
