; Dova Wallpaper Changer: the per-user installer and its uninstaller.
;
; Built by scripts/package.sh, which passes:
;   VERSION       the project's version, "1.2.3"
;   FILE_VERSION  the same in four numbers, "1.2.3.0", as Dova.exe's version block has it
;   FILES         an include file with the macros that install and remove the release's files,
;                 and DOVA_EXE, the Dova.exe it installs
;   ICON          the program's icon
;   WIZARD_BITMAP the picture of the welcome and finish pages (installer/wizard_picture.py)
;   OUTFILE       the installer to write
;
; It installs for the current user only, without administrator rights, into
; %LOCALAPPDATA%\Programs\Dova. The user's own files live in Sites\ (settings, picture list,
; channel logos, journal, working pictures): an upgrade never overwrites them, the uninstaller
; asks before it removes them and keeps them by default.

Unicode true
; Dova.exe is a 64-bit program, and so is its installer: it runs where the program runs.
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma

!ifndef VERSION & FILE_VERSION & FILES & ICON & WIZARD_BITMAP & OUTFILE
  !error "Build the installer with scripts/package.sh"
!endif
!include "${FILES}"
; The program must be the build of this version.
!getdllversion "${DOVA_EXE}" DOVA_EXE_VERSION_
!if "${DOVA_EXE_VERSION_1}.${DOVA_EXE_VERSION_2}.${DOVA_EXE_VERSION_3}.${DOVA_EXE_VERSION_4}" != "${FILE_VERSION}"
  !error "Dova.exe is version ${DOVA_EXE_VERSION_1}.${DOVA_EXE_VERSION_2}.${DOVA_EXE_VERSION_3}.${DOVA_EXE_VERSION_4}, not ${FILE_VERSION}: build it again"
!endif

!define PRODUCT "Dova Wallpaper Changer"
!define PUBLISHER "Dova"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dova"
; The start-up value: the same name and command as the program's own "start with Windows".
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Dova Wallpaper Changer"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Dova"
; An upgrade goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

; --- pages -----------------------------------------------------------------------------------
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD_BITMAP}"
!define MUI_ABORTWARNING
; The description under the list leaves the list the page's width for the components' names.
!define MUI_COMPONENTSPAGE_SMALLDESC
; The language chosen at install time is the uninstaller's language too.
!define MUI_LANGDLL_REGISTRY_ROOT HKCU
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "InstallerLanguage"
!define MUI_LANGDLL_ALLLANGUAGES

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Dova.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_RESERVEFILE_LANGDLL

!include /CHARSET=UTF8 "english.nsh"
!include /CHARSET=UTF8 "russian.nsh"

VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"

; --- the running copy --------------------------------------------------------------------------
; Dova.exe keeps its settings and list in memory and writes them when it ends, so a running copy
; is asked to end as the tray menu's Exit ends it (WM_CLOSE to its main window), never killed.
; Its main window is found by its class and the property the program sets on it, as a second
; copy of the program finds it. The program holds its single-instance mutex until it has saved
; and ends, so the mutex tells when it is gone, and also reveals a copy whose window cannot be
; seen from here (one on another desktop, as under a Wine virtual desktop).
!define MAIN_WINDOW_CLASS "TForm1"
!define MAIN_WINDOW_PROPERTY "DovaWallpaperChanger.MainWindow"
!define SINGLE_INSTANCE_MUTEX "DovaWallpaperChanger.SingleInstance"
!define SYNCHRONIZE 0x00100000

!macro DEFINE_CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
  Push $R0
  Push $R1
  Push $R2
  Push $R3
  retry:
  StrCpy $R0 0
  find:
    FindWindow $R0 "${MAIN_WINDOW_CLASS}" "" 0 $R0
    ${If} $R0 != 0
      System::Call 'user32::GetPropW(p R0, w "${MAIN_WINDOW_PROPERTY}") p .R1'
      StrCmp $R1 0 find
      MessageBox MB_OKCANCEL|MB_ICONINFORMATION "$(CloseRunningCopy)" /SD IDOK IDOK +2
        Abort
      System::Call 'user32::GetWindowThreadProcessId(p R0, *i 0 R2)'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R2) p .R3'
      SendMessage $R0 ${WM_CLOSE} 0 0 /TIMEOUT=10000
      ${If} $R3 != 0
        System::Call 'kernel32::WaitForSingleObject(p R3, i 30000)'
        System::Call 'kernel32::CloseHandle(p R3)'
      ${EndIf}
    ${EndIf}
  ; Wait up to ten seconds for the mutex to go.
  ${For} $R2 1 40
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${SINGLE_INSTANCE_MUTEX}") p .R1'
    ${If} $R1 == 0
      Goto done
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R1)'
    Sleep 250
  ${Next}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
  Abort
  done:
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_RUNNING_COPY ""
!insertmacro DEFINE_CLOSE_RUNNING_COPY "un."

; Removes the start-up value when it starts this installation's Dova.exe, and leaves one that
; starts another copy (a portable one) alone.
!macro DEFINE_REMOVE_RUN_VALUE un
Function ${un}RemoveRunValue
  Push $0
  Push $1
  Push $2
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
  ${EndIf}
  StrLen $2 "$INSTDIR\Dova.exe"
  StrCpy $1 $0 $2
  ; LogicLib's == ignores case, as Windows does with paths.
  ${If} $1 == "$INSTDIR\Dova.exe"
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_REMOVE_RUN_VALUE ""
!insertmacro DEFINE_REMOVE_RUN_VALUE "un."

; Adds one shipped channel ($R1 URL, $R2 WPURL, $R3 IMAGE, $R4 PICTURE, $R5 SUFFIX, $R6 CAPTION)
; to the user's dova.ini, after the user's own channels, unless a channel there has its URL. The
; program's list ends at the first section without URL (or with "-"), so that is where it goes;
; nothing else of the file changes.
Function AddShippedChannel
  StrCpy $R7 1
  loop:
    ClearErrors
    ReadINIStr $R8 "$INSTDIR\Sites\dova.ini" "Site$R7" "URL"
    IfErrors add
    StrCmp $R8 "-" add
    StrCmp $R8 $R1 done
    IntOp $R7 $R7 + 1
    Goto loop
  add:
    WriteINIStr "$INSTDIR\Sites\dova.ini" "Site$R7" "URL" $R1
    WriteINIStr "$INSTDIR\Sites\dova.ini" "Site$R7" "WPURL" $R2
    WriteINIStr "$INSTDIR\Sites\dova.ini" "Site$R7" "IMAGE" $R3
    WriteINIStr "$INSTDIR\Sites\dova.ini" "Site$R7" "ENABLED" "0"
    StrCmp $R4 "" +2
    WriteINIStr "$INSTDIR\Sites\dova.ini" "Site$R7" "PICTURE" $R4
    StrCmp $R5 "" +2
    WriteINIStr "$INSTDIR\Sites\dova.ini" "Site$R7" "SUFFIX" $R5
    StrCmp $R6 "" +2
    WriteINIStr "$INSTDIR\Sites\dova.ini" "Site$R7" "CAPTION" $R6
  done:
FunctionEnd

; --- install -----------------------------------------------------------------------------------
Section "!$(SectionProgram)" SecProgram
  SectionIn RO
  Call CloseRunningCopy

  !insertmacro DovaInstallProgramFiles
  ; Sites\ is the user's: the sample settings and logos go only where the user has none yet.
  ${If} ${FileExists} "$INSTDIR\Sites\dova.ini"
    StrCpy $0 upgrade
  ${Else}
    StrCpy $0 new
  ${EndIf}
  SetOverwrite off
  !insertmacro DovaInstallSampleFiles
  SetOverwrite on
  ; A new user gets the program in the language of the installer, and the channels in it where
  ; they have one; an older installation gets the channels that came since.
  ${If} $0 == new
  ${AndIf} $LANGUAGE == ${LANG_RUSSIAN}
    WriteINIStr "$INSTDIR\Sites\dova.ini" "Main" "Language" "Russian"
    !insertmacro DovaLocaliseShippedChannels
  ${EndIf}
  ${If} $0 == upgrade
    !insertmacro DovaAddShippedChannels
  ${EndIf}

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\Dova.exe" "" "$INSTDIR\Dova.exe" 0 SW_SHOWNORMAL "" \
                 "$(ShortcutComment)"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Dova.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; In kilobytes, as the list of installed programs expects.
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(SectionStartup)" SecStartup
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Dova.exe" minimized'
SectionEnd

; Unticking "Start with Windows" on an upgrade turns the start-up off.
Section "-StartupOff"
  ${IfNot} ${SectionIsSelected} ${SecStartup}
    Call RemoveRunValue
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "$(DescProgram)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "$(DescStartup)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  !insertmacro MUI_LANGDLL_DISPLAY
  ; "Start with Windows" is on for a new installation; an upgrade keeps the user's choice.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "UninstallString"
  ${If} $0 != ""
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == ""
      !insertmacro UnselectSection ${SecStartup}
    ${EndIf}
  ${EndIf}
  ; For deployment: /NOSTARTUP leaves it off.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOSTARTUP" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecStartup}
  ${EndIf}
FunctionEnd

; --- uninstall ---------------------------------------------------------------------------------
Function un.onInit
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningCopy
  SetOutPath "$TEMP"

  !insertmacro DovaRemoveProgramFiles
  Delete "$INSTDIR\Uninstall.exe"
  Delete "${SHORTCUT}"
  Call un.RemoveRunValue
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The user's settings, list, logos, journal and pictures stay unless the user says otherwise.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveUserFiles)" /SD IDNO IDNO keep
    RMDir /r "$INSTDIR\Sites"
  keep:
  RMDir "$INSTDIR\Languages"
  RMDir "$INSTDIR"
SectionEnd
