; Installer of Tarvon Add-ons for 64-bit Windows: the table editor, the
; command-line tool tarvon-tables, names.cfg and the demo image, for the
; current user only, so that no administrator rights are needed. It adds a
; Start menu entry for the editor, offers the editor under "Open with" for
; .smc and .sfc images without taking those types from another program, and
; registers an uninstaller that takes away exactly what the installer added.
; Silent with /S (the uninstaller too).
;
;   makensis -DVERSION=1.0.0 -DBIN=/abs/build-windows/bin \
;            -DOUTFILE=/abs/build-windows/tarvon-addons-setup.exe tarvon-addons.nsi
;
; VERSION is three numbers; BIN holds tarvon-addons.exe, tarvon-tables.exe,
; names.cfg and demo.smc. makensis works in this script's directory, so BIN
; and OUTFILE should be absolute (packaging/windows/make-packages.sh calls it).

Unicode true
Target amd64-unicode

!ifndef VERSION | BIN | OUTFILE
  !error "Pass -DVERSION=x.y.z -DBIN=<folder of the programs> -DOUTFILE=<installer>"
!endif

!define PRODUCT "Tarvon Add-ons"
!define PUBLISHER "Tarvon Add-ons developers"
!define EDITOR "tarvon-addons.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarvonAddons"
; The program's own file type, which .smc and .sfc list among the programs
; that can open them; their default program stays whichever it was.
!define PROGID "TarvonAddons.Image"
!define CLASSES "Software\Classes"
!define APPLICATION_KEY "${CLASSES}\Applications\${EDITOR}"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define SHCNE_ASSOCCHANGED 0x08000000

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; Installing again goes to the folder chosen the first time.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright 2026 ${PUBLISHER}, MIT License"

!include MUI2.nsh
!include FileFunc.nsh

!define MUI_ICON "tarvon-addons.ico"
!define MUI_UNICON "tarvon-addons.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EDITOR}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The editor's languages; Windows' own language is chosen when it is one.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Japanese"

; Tells Explorer that the file types' programs changed, so "Open with" shows
; the editor (or stops showing it) without a new log-in.
!macro NotifyAssociationsChanged
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
!macroend

; The editor opens a file given as its one argument.
!macro WriteOpenCommand key
  WriteRegStr HKCU "${key}\shell\open\command" "" '"$INSTDIR\${EDITOR}" "%1"'
!macroend

Section
  SetOutPath "$INSTDIR"
  File "${BIN}/tarvon-addons.exe"
  File "${BIN}/tarvon-tables.exe"
  File "${BIN}/names.cfg"
  File "${BIN}/demo.smc"
  File "tarvon-addons.ico"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\${EDITOR}" "" "$INSTDIR\tarvon-addons.ico"
  Call WriteFileTypes
  Call RegisterUninstaller
  !insertmacro NotifyAssociationsChanged
SectionEnd

Function WriteFileTypes
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Cartridge image"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\tarvon-addons.ico"
  !insertmacro WriteOpenCommand "${CLASSES}\${PROGID}"
  ; A value name of their own under each extension; the extensions' default
  ; values (their default programs) are left alone.
  WriteRegStr HKCU "${CLASSES}\.smc\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "${CLASSES}\.sfc\OpenWithProgids" "${PROGID}" ""
  ; The editor by its file name, for "Open with" > "Choose another app".
  WriteRegStr HKCU "${APPLICATION_KEY}" "FriendlyAppName" "${PRODUCT}"
  WriteRegStr HKCU "${APPLICATION_KEY}\DefaultIcon" "" "$INSTDIR\tarvon-addons.ico"
  !insertmacro WriteOpenCommand "${APPLICATION_KEY}"
  WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" ".smc" ""
  WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" ".sfc" ""
FunctionEnd

; The entry in Windows' list of installed programs.
Function RegisterUninstaller
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvon-addons.ico"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
FunctionEnd

Section "Uninstall"
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\tarvon-addons.exe"
  Delete "$INSTDIR\tarvon-tables.exe"
  Delete "$INSTDIR\names.cfg"
  Delete "$INSTDIR\demo.smc"
  Delete "$INSTDIR\tarvon-addons.ico"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: files the user put there stay, and so does the folder.
  RMDir "$INSTDIR"
  Call un.DeleteFileTypes
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  !insertmacro NotifyAssociationsChanged
SectionEnd

; Takes away the program's own value under an extension's OpenWithProgids,
; then the keys only if nothing else is left in them.
!macro DeleteOpenWithEntry extension
  DeleteRegValue HKCU "${CLASSES}\${extension}\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${CLASSES}\${extension}\OpenWithProgids"
  DeleteRegKey /ifnosubkeys /ifnovalues HKCU "${CLASSES}\${extension}"
!macroend

Function un.DeleteFileTypes
  !insertmacro DeleteOpenWithEntry ".smc"
  !insertmacro DeleteOpenWithEntry ".sfc"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  DeleteRegKey HKCU "${APPLICATION_KEY}"
FunctionEnd
