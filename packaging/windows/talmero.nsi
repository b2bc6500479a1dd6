; Talmero's Windows installer. make-installer.sh defines VERSION, SOURCE (the program folder),
; OUTFILE and includes files.nsh / unfiles.nsh, which it writes from the program folder.
; Installs for the current user without administrator rights, or for all users when started
; elevated (/CURRENTUSER forces the first). The uninstaller removes exactly what was installed.
Unicode true
; A 64-bit installer: the program is 64-bit, and a 64-bit Wine runs it without wine32.
Target amd64-unicode
!ifdef QUICK
SetCompressor zlib
!else
SetCompressor /SOLID lzma
!endif
RequestExecutionLevel user
ManifestDPIAware true

!include FileFunc.nsh
!include LogicLib.nsh

!define APP "Talmero"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
; The keys the program's own "Register *.dlg extension" writes, here under Software\Classes.
!define CLASSES "Software\Classes"
!define FILE_TYPE "Talmero File"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${APP}"
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var AllUsers

!macro ChooseContext
    SetRegView 64
    UserInfo::GetAccountType
    Pop $0
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/CURRENTUSER" $2
    ${If} $0 == "Admin"
    ${AndIf} ${Errors}
        StrCpy $AllUsers 1
        SetShellVarContext all
    ${Else}
        StrCpy $AllUsers 0
        SetShellVarContext current
    ${EndIf}
!macroend

Function .onInit
    !insertmacro ChooseContext
    ${If} $AllUsers == 1
        StrCpy $INSTDIR "$PROGRAMFILES64\${APP}"
    ${EndIf}
FunctionEnd

Section "Talmero"
    SetOutPath "$INSTDIR"
    !include "files.nsh"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; The shortcut starts in the program folder, as the examples' relative paths expect.
    SetOutPath "$INSTDIR"
    CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\talmero.exe" "" "$INSTDIR\talmero.exe" 0

    WriteRegStr SHCTX "${CLASSES}\.dlg" "" "${FILE_TYPE}"
    WriteRegStr SHCTX "${CLASSES}\${FILE_TYPE}" "" "Talmero for 3D Game Studio"
    WriteRegStr SHCTX "${CLASSES}\${FILE_TYPE}\DefaultIcon" "" "$INSTDIR\talmero.exe,0"
    WriteRegStr SHCTX "${CLASSES}\${FILE_TYPE}\Shell\Open\Command" "" '"$INSTDIR\talmero.exe" "%1"'

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Lantern Hill"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\talmero.exe,0"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
    ; Explorer shows the new file type at once.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

; The uninstaller belongs to the installation that lists its folder: all users or this user.
Function un.onInit
    SetRegView 64
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd

Section "Uninstall"
    !include "unfiles.nsh"
    Delete "$INSTDIR\uninstall.exe"
    ; Only empty folders go: what the user put into the program folder stays.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${APP}.lnk"

    ; .dlg is left alone when another program took it over since.
    ReadRegStr $0 SHCTX "${CLASSES}\.dlg" ""
    ${If} $0 == "${FILE_TYPE}"
        DeleteRegKey SHCTX "${CLASSES}\.dlg"
    ${EndIf}
    DeleteRegKey SHCTX "${CLASSES}\${FILE_TYPE}"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
