; The per-user Windows installer of tessel3, built by scripts/dist-windows:
;   makensis -DVERSION=x.y.z -DFILES=program-files.nsh -DTEMPLATE=<data folder>
;            -DICON=tessel3.ico -DOUTFILE=<setup.exe> tessel3.nsi
; FILES defines the macros InstallProgramFiles and UninstallProgramFiles (one
; File or Delete line per shipped file), so the uninstaller removes exactly
; what this version installed and nothing else in the folder.
; The program keeps its settings in data\root.lua under its working folder:
; the shortcuts start it in %APPDATA%\tessel3, which upgrades never touch.

Unicode true
; Debian's NSIS has 64-bit stubs; a 32-bit installer does not run on a
; 64-bit-only Wine.
Target amd64-unicode
; -DFAST_COMPRESSION: quick throw-away builds for the installer's checks.
!ifdef FAST_COMPRESSION
    SetCompressor zlib
!else
    SetCompressor /SOLID lzma
    ; A 32 MB window holds all 26 MB of the program: 2% smaller than with 8 MB.
    SetCompressorDictSize 32
!endif
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "${FILES}"

!define PRODUCT "tessel3"
!define PUBLISHER "The tessel3 developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the installed version is, also when /D= moved it.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunProgram

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

; The first is the fallback for any other system language.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "Russian"

LangString DesktopShortcut ${LANG_ENGLISH} "Desktop shortcut"
LangString DesktopShortcut ${LANG_SIMPCHINESE} "桌面快捷方式"
LangString DesktopShortcut ${LANG_RUSSIAN} "Ярлык на рабочем столе"
LangString RemoveUserData ${LANG_ENGLISH} "Also remove my settings (%APPDATA%\tessel3)"
LangString RemoveUserData ${LANG_SIMPCHINESE} "同时删除我的设置（%APPDATA%\tessel3）"
LangString RemoveUserData ${LANG_RUSSIAN} "Удалить и мои настройки (%APPDATA%\tessel3)"
LangString ProgramRunning ${LANG_ENGLISH} "tessel3 is running. Close it, then press Retry."
LangString ProgramRunning ${LANG_SIMPCHINESE} "tessel3 正在运行。请先关闭它，再点击“重试”。"
LangString ProgramRunning ${LANG_RUSSIAN} "tessel3 сейчас запущен. Закройте его и нажмите «Повторить»."

Var UserFolder

; A running tessel3.exe cannot be opened for writing. Asks until it is closed;
; without a window (/S) the run ends at once with error level 2, changing nothing.
!macro WaitUntilClosed un
Function ${un}WaitUntilClosed
    ${Do}
        ${IfNot} ${FileExists} "$INSTDIR\tessel3.exe"
            ${Break}
        ${EndIf}
        ClearErrors
        FileOpen $0 "$INSTDIR\tessel3.exe" a
        ${IfNot} ${Errors}
            FileClose $0
            ${Break}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDRETRY retry
        SetErrorLevel 2
        Quit
        retry:
    ${Loop}
FunctionEnd
!macroend
!insertmacro WaitUntilClosed ""
!insertmacro WaitUntilClosed "un."

Section "${PRODUCT}" ProgramSection
    SectionIn RO
    Call WaitUntilClosed
    ; The installed version's own uninstaller knows its files: run in place,
    ; silently, it removes them, its shortcuts and its entry, and keeps the
    ; user's folder.
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        ExecWait '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
        Delete "$INSTDIR\uninstall.exe"
    ${EndIf}

    !insertmacro InstallProgramFiles
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; First install only: the settings template, written under another name
    ; and renamed, so that a broken-off copy is never taken for the user's file.
    ${IfNot} ${FileExists} "$UserFolder\data\root.lua"
        SetOutPath "$UserFolder\data"
        SetOverwrite off
        File "/oname=background.png" "${TEMPLATE}\background.png"
        SetOverwrite on
        File "/oname=root.lua.new" "${TEMPLATE}\root.lua"
        Rename "$UserFolder\data\root.lua.new" "$UserFolder\data\root.lua"
    ${EndIf}

    ; A shortcut starts the program in the folder that is $OUTDIR now.
    SetOutPath "$UserFolder"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tessel3.exe" "" "$INSTDIR\tessel3.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tessel3.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "$(DesktopShortcut)" DesktopSection
    SetOutPath "$UserFolder"
    CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\tessel3.exe" "" "$INSTDIR\tessel3.exe" 0
SectionEnd

Function .onInit
    SetShellVarContext current
    StrCpy $UserFolder "$APPDATA\${PRODUCT}"
    ; Whoever had the desktop shortcut keeps it through an upgrade.
    ${If} ${FileExists} "$DESKTOP\${PRODUCT}.lnk"
        SectionSetFlags ${DesktopSection} ${SF_SELECTED}
    ${EndIf}
    Call WaitUntilClosed
FunctionEnd

Function RunProgram
    SetOutPath "$UserFolder"
    Exec '"$INSTDIR\tessel3.exe"'
FunctionEnd

Function un.onInit
    SetShellVarContext current
    StrCpy $UserFolder "$APPDATA\${PRODUCT}"
FunctionEnd

Section "un.${PRODUCT}"
    SectionIn RO
    Call un.WaitUntilClosed
    !insertmacro UninstallProgramFiles
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$DESKTOP\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Off unless ticked, and never in a silent uninstall.
Section /o "un.$(RemoveUserData)"
    RMDir /r "$UserFolder"
SectionEnd
