; The Windows installer, made by tools/windows/package.sh with Debian's nsis:
;   makensis -DSOURCE=<the package's folder> -DOUTFILE=<installer> -DVERSION=<x.y.z>
;            -DICON=<orvatek.ico> orvatek.nsi
; It copies the program's folder, adds a Start menu entry and an uninstaller, and
; writes nothing but its own entry in the list of installed programs. /S installs
; silently (into /D=<folder> if given).
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

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${SOURCE}\*.*"
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

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Orvatek.lnk"
    RMDir /r "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
