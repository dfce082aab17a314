; The installer's own texts in Russian; MUI2 brings the pages' standard texts.
LangString SectionProgram ${LANG_RUSSIAN} "Dova Wallpaper Changer"
LangString DescProgram ${LANG_RUSSIAN} "Программа, её справка и языки, а также образец настроек и логотипы каналов, если у вас их ещё нет."
LangString SectionStartup ${LANG_RUSSIAN} "Запускать вместе с Windows"
LangString DescStartup ${LANG_RUSSIAN} "Запускать программу в трее при входе в систему, чтобы обои менялись вовремя."
LangString ShortcutComment ${LANG_RUSSIAN} "Меняет обои рабочего стола: картинка дня или ваши картинки"
LangString CloseRunningCopy ${LANG_RUSSIAN} "Dova Wallpaper Changer запущена, и её нужно закрыть. Перед этим она сохранит свои настройки, как при выходе через меню в трее.$\n$\nНажмите OK, чтобы закрыть её, или Отмена, чтобы прервать."
LangString StillRunning ${LANG_RUSSIAN} "Dova Wallpaper Changer всё ещё работает. Закройте её командой «Выход» в меню в трее и нажмите «Повтор»."
LangString RemoveUserFiles ${LANG_RUSSIAN} "Удалить также ваши настройки, список картинок, логотипы каналов, журнал и загруженные картинки в папке$\n$INSTDIR\Sites?$\n$\nНажмите Нет, чтобы сохранить их для следующей установки."
