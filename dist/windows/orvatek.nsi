; The Windows installer, made by tools/windows/package.sh with Debian's nsis:
;   makensis -DSOURCE=<the package's folder> -DFILES=<files.nsh> -DOUTFILE=<installer>
;            -DVERSION=<x.y.z> -DICON=<orvatek.ico> orvatek.nsi
; files.nsh, written by package.sh, names every file of the package: the installer
; copies those, and the uninstaller deletes those and no other, then each folder
; only when it is empty. The chosen folder may hold the operator's own files
; (/D=D:\Tools): they stay. It adds a Start menu entry and an uninstaller, and
; writes nothing but its own entry in the list of installed programs. While the
; program runs from the folder, installing and uninstalling are refused: its files
; could be neither replaced nor deleted. /S installs silently (into /D=<folder>
; if given); a refusal then ends it with exit code 2.
; A 64-bit installer for the 64-bit program: it writes to the 64-bit registry
; and Program Files, and runs where the program runs (Wine's wine64 too).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvatek"

Name "Orvatek"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\Orvatek"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Orvatek"
VIAddVersionKey "FileDescription" "Orvatek installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "© The Orvatek team"

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Russian.nlf"

!include "${FILES}"

; A running program keeps its .exe open without letting anyone write to it, on
; Windows as under Wine: opening it for writing fails exactly while it runs from
; this folder. Nothing is written, and a missing file is not created.
!macro RefuseWhileRunning
    IfFileExists "$INSTDIR\orvatek.exe" 0 not_running
    ClearErrors
    FileOpen $0 "$INSTDIR\orvatek.exe" a
    IfErrors 0 closed
    MessageBox MB_OK|MB_ICONSTOP "Orvatek запущен из папки $INSTDIR. Закройте его и повторите." /SD IDOK
    SetErrorLevel 2
    Quit
  closed:
    FileClose $0
  not_running:
!macroend

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    !insertmacro RefuseWhileRunning
    SetShellVarContext all
    !insertmacro InstallFiles
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Orvatek.lnk" "$INSTDIR\orvatek.exe" "" "$INSTDIR\orvatek.exe" 0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Orvatek"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvatek.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Orvatek team"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
    !insertmacro RefuseWhileRunning
FunctionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Orvatek.lnk"
    !insertmacro UninstallFiles
    Delete "$INSTDIR\uninstall.exe"
    ; Only when nothing else is left in it: never /r, which would take the
    ; operator's own files with it.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
