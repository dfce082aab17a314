#!/usr/bin/env python3
"""A throwaway PKI for the HTTPS tests, and the registry file that trusts its root in one Wine
prefix only.

    tests/support/tls_test_pki.py OUT_DIR
    WINEPREFIX=... wine regedit /S OUT_DIR/root.reg

OUT_DIR gets root.pem and root.der (the root to trust; `curl --cacert OUT_DIR/root.pem`),
root.reg, intermediate.crl (the intermediate's CRL, which https_test_server.py serves over
plain HTTP on CRL_ADDRESS), and for every case in CASES a <case>.pem holding the server's key and the chain it
sends (leaf first). Every leaf but "selfsigned" and "untrusted" is signed by an intermediate
under the root. Each case's certificate names <case>.dova.test (but "wrongname", which names
another host) and the case's own loopback address, as https_test_server.py serves it; the
"good" one also names the HOSTILE servers, which send it.
"""
import datetime
import hashlib
import ipaddress
import sys
from pathlib import Path

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import rsa
from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID

# Case name -> loopback address of its server (port 443).
CASES = {
    "good": "127.0.70.1",
    "expired": "127.0.70.2",
    "notyetvalid": "127.0.70.3",
    "wrongname": "127.0.70.4",
    "selfsigned": "127.0.70.5",
    "untrusted": "127.0.70.6",
    "noserverauth": "127.0.70.7",
    "revoked": "127.0.70.8",        # listed in the intermediate's CRL
    "revocationoffline": "127.0.70.9",  # its CRL's server cannot be reached
}
# The intermediate's CRL, served over plain HTTP by https_test_server.py.
CRL_ADDRESS = "127.0.70.10"
CRL_PATH = "/intermediate.crl"
UNREACHABLE_CRL = "http://127.0.79.1/intermediate.crl"
# Servers that misbehave (https_test_server.py), each on its own address; those that get as far
# as a certificate send the "good" one, which names them too.
HOSTILE = {
    "hangup": "127.0.71.1",       # closes after the ClientHello
    "halfhello": "127.0.71.2",    # half a ServerHello, then closes
    "stall": "127.0.71.3",        # takes the ClientHello and answers nothing
    "alert": "127.0.71.4",        # a fatal handshake_failure alert
    "plainhttp": "127.0.71.5",    # plain HTTP on 443
    "cutbody": "127.0.71.6",      # TCP close halfway through the body, without close_notify
    "endless": "127.0.71.7",      # a body without end
    "drip": "127.0.71.8",         # every TLS byte in pieces of a few bytes, slowly
    "renegotiate": "127.0.71.9",  # TLS 1.2 renegotiation halfway through the body
    "tls13only": "127.0.71.10",   # offers TLS 1.3 alone
    "tls11only": "127.0.71.11",   # offers TLS 1.0 and 1.1 alone
}
DOMAIN = "dova.test"
ROOT_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\SystemCertificates\Root\Certificates"


def host_of(case):
    return f"{case}.{DOMAIN}"


def new_key():
    return rsa.generate_private_key(public_exponent=65537, key_size=2048)


def name(common_name):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, common_name)])


def certificate(subject, key, issuer, issuer_key, *, ca, days=(-1, 365), names=(),
                addresses=(), usages=(ExtendedKeyUsageOID.SERVER_AUTH,), crl=None, serial=None):
    now = datetime.datetime.now(datetime.timezone.utc)
    builder = (x509.CertificateBuilder()
               .subject_name(name(subject))
               .issuer_name(name(issuer))
               .public_key(key.public_key())
               .serial_number(serial or x509.random_serial_number())
               .not_valid_before(now + datetime.timedelta(days=days[0]))
               .not_valid_after(now + datetime.timedelta(days=days[1]))
               .add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True)
               .add_extension(x509.SubjectKeyIdentifier.from_public_key(key.public_key()),
                              critical=False))
    if ca:
        builder = builder.add_extension(
            x509.KeyUsage(digital_signature=True, content_commitment=False, key_encipherment=False,
                          data_encipherment=False, key_agreement=False, key_cert_sign=True,
                          crl_sign=True, encipher_only=False, decipher_only=False), critical=True)
    else:
        alt = [x509.DNSName(n) for n in names] + [x509.IPAddress(ipaddress.ip_address(a))
                                                 for a in addresses]
        builder = (builder.add_extension(x509.SubjectAlternativeName(alt), critical=False)
                   .add_extension(x509.ExtendedKeyUsage(list(usages)), critical=False))
    if crl:
        builder = builder.add_extension(x509.CRLDistributionPoints([x509.DistributionPoint(
            [x509.UniformResourceIdentifier(crl)], None, None, None)]), critical=False)
    if issuer_key is not key:
        builder = builder.add_extension(
            x509.AuthorityKeyIdentifier.from_issuer_public_key(issuer_key.public_key()),
            critical=False)
    return builder.sign(issuer_key, hashes.SHA256())


def pem(cert):
    return cert.public_bytes(serialization.Encoding.PEM)


def key_pem(key):
    return key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                             serialization.NoEncryption())


def registry_file(root_der):
    """The root as Windows keeps it in the user's Root store: a Blob of one property, the
    encoded certificate (id 0x20, encoding 1, length, bytes)."""
    blob = (bytes.fromhex("2000000001000000") + len(root_der).to_bytes(4, "little") + root_der)
    thumbprint = hashlib.sha1(root_der).hexdigest().upper()
    hex_bytes = [f"{b:02x}" for b in blob]
    lines = [",".join(hex_bytes[i:i + 24]) for i in range(0, len(hex_bytes), 24)]
    value = ",\\\r\n  ".join(lines)
    return (f"Windows Registry Editor Version 5.00\r\n\r\n[{ROOT_KEY}\\{thumbprint}]\r\n"
            f"\"Blob\"=hex:{value}\r\n")


def make(out_dir):
    out = Path(out_dir)
    out.mkdir(parents=True, exist_ok=True)
    root_key, inter_key, other_root_key = new_key(), new_key(), new_key()
    root = certificate("Dova Test Root", root_key, "Dova Test Root", root_key, ca=True,
                       days=(-1, 3650))
    inter = certificate("Dova Test Intermediate", inter_key, "Dova Test Root", root_key, ca=True,
                        days=(-1, 3650))
    other_root = certificate("Dova Untrusted Root", other_root_key, "Dova Untrusted Root",
                             other_root_key, ca=True, days=(-1, 3650))
    root_der = root.public_bytes(serialization.Encoding.DER)
    (out / "root.pem").write_bytes(pem(root))
    (out / "root.der").write_bytes(root_der)
    (out / "root.reg").write_bytes(registry_file(root_der).encode("ascii"))

    revoked_serial = x509.random_serial_number()
    now = datetime.datetime.now(datetime.timezone.utc)
    crl = (x509.CertificateRevocationListBuilder()
           .issuer_name(inter.subject)
           .last_update(now - datetime.timedelta(days=1))
           .next_update(now + datetime.timedelta(days=30))
           .add_revoked_certificate(x509.RevokedCertificateBuilder()
                                    .serial_number(revoked_serial)
                                    .revocation_date(now - datetime.timedelta(days=1)).build())
           .add_extension(x509.AuthorityKeyIdentifier.from_issuer_public_key(
               inter_key.public_key()), critical=False)
           .add_extension(x509.CRLNumber(1), critical=False)
           .sign(inter_key, hashes.SHA256()))
    (out / CRL_PATH.lstrip("/")).write_bytes(crl.public_bytes(serialization.Encoding.DER))

    for case, address in CASES.items():
        key = new_key()
        names = ["other." + DOMAIN] if case == "wrongname" else [host_of(case)]
        addresses = [] if case == "wrongname" else [address]
        if case == "good":
            names += [host_of(h) for h in HOSTILE]
            addresses += list(HOSTILE.values())
        options = {}
        issuer, issuer_key, chain = "Dova Test Intermediate", inter_key, [inter]
        if case == "expired":
            options["days"] = (-30, -1)
        elif case == "notyetvalid":
            options["days"] = (1, 30)
        elif case == "noserverauth":
            options["usages"] = (ExtendedKeyUsageOID.CLIENT_AUTH,)
        elif case == "revoked":
            options["crl"] = f"http://{CRL_ADDRESS}{CRL_PATH}"
            options["serial"] = revoked_serial
        elif case == "revocationoffline":
            options["crl"] = UNREACHABLE_CRL
        elif case == "selfsigned":
            issuer, issuer_key, chain = host_of(case), key, []
        elif case == "untrusted":
            issuer, issuer_key, chain = "Dova Untrusted Root", other_root_key, [other_root]
        leaf = certificate(host_of(case), key, issuer, issuer_key, ca=False, names=names,
                           addresses=addresses, **options)
        (out / f"{case}.pem").write_bytes(key_pem(key) + pem(leaf) + b"".join(map(pem, chain)))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    make(sys.argv[1])
