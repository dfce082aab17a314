; The installer's own texts in English; MUI2 brings the pages' standard texts.
LangString SectionProgram ${LANG_ENGLISH} "Dova Wallpaper Changer"
LangString DescProgram ${LANG_ENGLISH} "The program, its help, its languages, and the sample settings and channel logos where you have none yet."
LangString SectionStartup ${LANG_ENGLISH} "Start with Windows"
LangString DescStartup ${LANG_ENGLISH} "Start the program in the tray when you log on, so that it changes the wallpaper on time."
LangString ShortcutComment ${LANG_ENGLISH} "Changes the desktop wallpaper: the picture of the day or your own pictures"
LangString CloseRunningCopy ${LANG_ENGLISH} "Dova Wallpaper Changer is running and has to be closed. It saves its settings first, as Exit in its tray menu does.$\n$\nClick OK to close it, or Cancel to stop."
LangString StillRunning ${LANG_ENGLISH} "Dova Wallpaper Changer is still running. End it with Exit in its tray menu, then click Retry."
LangString RemoveUserFiles ${LANG_ENGLISH} "Also remove your settings, your picture list, the channel logos, the journal and the downloaded pictures in$\n$INSTDIR\Sites?$\n$\nClick No to keep them for a later installation."
