; The Windows installer of Html Vexel: the desktop program, the vexel command,
; the help file and the licence; a Start-menu entry; an entry under Apps;
; optionally the Explorer verbs and vexel.exe on the PATH.
;
; HtmlVexel-VERSION-x64-setup.exe installs the 64-bit programs, for 64-bit
; Windows; HtmlVexel-VERSION-setup.exe the 32-bit ones, for 32-bit Windows
; (on a 64-bit one it points to the other first).
;
; Built by the build (target "installer") with makensis, which is given:
;   VERSION      2.5.0            ARCH        x86 or amd64
;   HTMLVEXEL_EXE, VEXEL_EXE, HELP_CHM, LICENSE, THIRD_PARTY, ICON   the files it installs
;   OUTFILE      the installer to write
;
; A user without administrator rights installs for themselves alone (in
; %LOCALAPPDATA%\Programs, settings of the current user); an administrator
; chooses on a page between "just for me" and everyone (in Program Files),
; the kind of an earlier install first, else everyone. /CurrentUser and
; /AllUsers choose on the command line. /S installs silently; /NOEXPLORER
; leaves out the Explorer verbs and /PATH puts vexel.exe on the PATH.
; /D=FOLDER installs into FOLDER: NSIS takes it last on the command line and
; unquoted (/D=C:\Html Vexel), and this installer takes it in quotes too,
; anywhere ("/D=C:\Html Vexel" or /D="C:\Html Vexel"). The uninstaller takes
; /S, and /REMOVESETTINGS to remove the user's settings as well.

Unicode true
!if ${ARCH} == amd64
    Target amd64-unicode
!else
    Target x86-unicode
!endif
SetCompressor /SOLID lzma
ManifestDPIAware true

!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include WinMessages.nsh
!include Sections.nsh
!include x64.nsh

!define PRODUCT "Html Vexel"
!define PUBLISHER "The Html Vexel developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\HtmlVexel"
!define SETTINGS_KEY "Software\Korrin\ZP\HTML Vexel"
!define MACHINE_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define COMPRESS_VERB "HtmlVexel.Compress"
!define RESTORE_VERB "HtmlVexel.Restore"

; For me or for everyone: NSIS's MultiUser page (shown to administrators,
; since no one else can install for everyone), /CurrentUser and /AllUsers;
; an upgrade takes the kind and the folder of the earlier install. The
; uninstaller finds its kind itself (un.onInit).
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_FUNCTION InstallModeChosen
!define MULTIUSER_NOUNINSTALL
!if ${ARCH} == amd64
    !define MULTIUSER_USE_PROGRAMFILES64
!endif
!include MultiUser.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Released under the MIT License"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\HtmlVexel.exe"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var AllUsers  ; 1: installed for every user (HKLM), 0: for this user (HKCU)
Var ChosenFolder  ; the folder of /D=, or ""
Var PathTooLong  ; 1: the PATH is longer than NSIS's strings (1024 characters)

; Registry writes go to the install's own root: SHCTX is HKLM for every
; user and HKCU for one (SetShellVarContext).

; A verb on a kind of item: its caption and the command it runs.
!macro AddVerb CLASS VERB CAPTION COMMAND
    WriteRegStr SHCTX "Software\Classes\${CLASS}\shell\${VERB}" "" `${CAPTION}`
    WriteRegStr SHCTX "Software\Classes\${CLASS}\shell\${VERB}" "Icon" `$INSTDIR\HtmlVexel.exe,0`
    WriteRegStr SHCTX "Software\Classes\${CLASS}\shell\${VERB}\command" "" `${COMMAND}`
!macroend
!macro RemoveVerb CLASS VERB
    DeleteRegKey SHCTX "Software\Classes\${CLASS}\shell\${VERB}"
    ; The keys above it, when they hold nothing of anyone else's.
    DeleteRegKey /ifempty SHCTX "Software\Classes\${CLASS}\shell"
    DeleteRegKey /ifempty SHCTX "Software\Classes\${CLASS}"
!macroend

; The PATH of the install's root: the machine's or the user's. ReadRegStr
; reads a value longer than NSIS's strings as "", as if there were none:
; $PathTooLong tells the two apart, since such a PATH must not be rewritten
; (it would be lost).
!macro ReadPath UN OUT
    ClearErrors
    ${If} $AllUsers == 1
        ReadRegStr ${OUT} HKLM "${MACHINE_ENVIRONMENT}" "Path"
    ${Else}
        ReadRegStr ${OUT} HKCU "Environment" "Path"
    ${EndIf}
    StrCpy $PathTooLong 0
    ${If} ${Errors}
        Call ${UN}PathValueExists
        Pop $PathTooLong
    ${EndIf}
!macroend
; Pushes 1 when the root's environment has a value named Path, else 0.
!macro PathValueExistsFunction UN
Function ${UN}PathValueExists
    Push $R0
    Push $R1
    StrCpy $R0 0
    ${Do}
        ${If} $AllUsers == 1
            EnumRegValue $R1 HKLM "${MACHINE_ENVIRONMENT}" $R0
        ${Else}
            EnumRegValue $R1 HKCU "Environment" $R0
        ${EndIf}
        ${If} $R1 == ""
            StrCpy $R0 0
            ${Break}
        ${ElseIf} $R1 == "Path"
            StrCpy $R0 1
            ${Break}
        ${EndIf}
        IntOp $R0 $R0 + 1
    ${Loop}
    Pop $R1
    Exch $R0
FunctionEnd
!macroend
!insertmacro PathValueExistsFunction ""
!insertmacro PathValueExistsFunction "un."
!macro WritePath VALUE
    ${If} $AllUsers == 1
        WriteRegExpandStr HKLM "${MACHINE_ENVIRONMENT}" "Path" "${VALUE}"
    ${Else}
        WriteRegExpandStr HKCU "Environment" "Path" "${VALUE}"
    ${EndIf}
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=2000
!macroend


Section "${PRODUCT}" SecMain
    SectionIn RO
    SetOutPath "$INSTDIR"
    ; Files of an upgrade are replaced; the user's settings live in the
    ; registry and are not touched.
    File "/oname=HtmlVexel.exe" "${HTMLVEXEL_EXE}"
    File "/oname=vexel.exe" "${VEXEL_EXE}"
    File "/oname=help.chm" "${HELP_CHM}"
    File "/oname=LICENSE.txt" "${LICENSE}"
    File "/oname=THIRD-PARTY.txt" "${THIRD_PARTY}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\HtmlVexel.exe" "" "$INSTDIR\HtmlVexel.exe" 0

    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" `${PRODUCT}`
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" `${VERSION}`
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" `${PUBLISHER}`
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" `$INSTDIR\HtmlVexel.exe,0`
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" `$INSTDIR`
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" `"$INSTDIR\uninstall.exe"`
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" `"$INSTDIR\uninstall.exe" /S`
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" `https://htmlvexel.example.org/`
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Explorer: Compress with Html Vexel, Restore original" SecExplorer
    ; "Compress with Html Vexel" on pages and folders opens the desktop
    ; program with them selected. "Restore original" runs vexel restore on the
    ; page; the window stays open when it has something to say (no backup).
    !define RESTORE_COMMAND '"$SYSDIR\cmd.exe" /c ""$INSTDIR\vexel.exe" restore "%1" || pause"'
    !insertmacro AddVerb "SystemFileAssociations\.htm" "${COMPRESS_VERB}" "Compress with Html Vexel" '"$INSTDIR\HtmlVexel.exe" "%1"'
    !insertmacro AddVerb "SystemFileAssociations\.html" "${COMPRESS_VERB}" "Compress with Html Vexel" '"$INSTDIR\HtmlVexel.exe" "%1"'
    !insertmacro AddVerb "Directory" "${COMPRESS_VERB}" "Compress with Html Vexel" '"$INSTDIR\HtmlVexel.exe" "%1"'
    !insertmacro AddVerb "SystemFileAssociations\.htm" "${RESTORE_VERB}" "Restore original" '${RESTORE_COMMAND}'
    !insertmacro AddVerb "SystemFileAssociations\.html" "${RESTORE_VERB}" "Restore original" '${RESTORE_COMMAND}'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "ExplorerVerbs" 1
SectionEnd

Section /o "vexel.exe on the PATH" SecPath
    !insertmacro ReadPath "" $0
    ; NSIS strings end at 1024 characters: a PATH that would be longer is
    ; left alone rather than cut short.
    StrLen $1 $0
    StrLen $2 $INSTDIR
    IntOp $1 $1 + $2
    IntOp $1 $1 + 1  ; the separator
    ${If} $PathTooLong == 1
    ${OrIf} $1 >= ${NSIS_MAX_STRLEN}
        MessageBox MB_ICONEXCLAMATION "The PATH is too long to be changed safely; add $INSTDIR to it yourself." /SD IDOK
        Return
    ${EndIf}
    ClearErrors
    ${WordFind} "$0" ";" "E/$INSTDIR" $2
    ${If} ${Errors}
    ${AndIf} $0 != "$INSTDIR"
        ${If} $0 == ""
            StrCpy $0 "$INSTDIR"
        ${Else}
            StrCpy $0 "$0;$INSTDIR"
        ${EndIf}
        !insertmacro WritePath "$0"
        WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "OnPath" 1
    ${EndIf}
SectionEnd

Function .onInit
    !if ${ARCH} == amd64
        SetRegView 64
    !else
        ; The 32-bit program runs on every Windows, but a 64-bit Windows has
        ; the 64-bit one made for it: say so, and install this one if asked.
        ${If} ${RunningX64}
            MessageBox MB_YESNO|MB_ICONINFORMATION "This is the 32-bit ${PRODUCT}, for 32-bit Windows. This Windows is 64-bit: the 64-bit program, installed by HtmlVexel-${VERSION}-x64-setup.exe, is the one for it.$\r$\n$\r$\nInstall the 32-bit program all the same?" /SD IDYES IDYES +2
            Abort
        ${EndIf}
    !endif
    ; NSIS has taken an unquoted /D= at the end; a quoted one is taken here.
    StrCpy $ChosenFolder $INSTDIR
    ${GetParameters} $R0
    ${If} $ChosenFolder == ""
        ClearErrors
        ${WordFind2X} $R0 '"/D=' '"' "E+1" $R1
        ${If} ${Errors}
            ClearErrors
            ${WordFind2X} $R0 '/D="' '"' "E+1" $R1
        ${EndIf}
        ${IfNot} ${Errors}
            StrCpy $ChosenFolder $R1
        ${EndIf}
    ${EndIf}
    ; ${Errors} is cleared by testing it: each option is tested once.
    ClearErrors
    ${GetOptions} $R0 "/AllUsers" $R1
    ${IfNot} ${Errors}
        UserInfo::GetAccountType
        Pop $0
        ${If} $0 != "Admin"
            MessageBox MB_ICONSTOP "Installing for all users needs administrator rights." /SD IDOK
            Abort
        ${EndIf}
    ${EndIf}
    ; For me or for everyone, and the folder: InstallModeChosen.
    !insertmacro MULTIUSER_INIT
    ClearErrors
    ${GetOptions} $R0 "/NOEXPLORER" $R1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecExplorer}
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/PATH" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecPath}
    ${EndIf}
FunctionEnd

; Called whenever the kind of install is chosen (at the start, and on the
; page), after MultiUser has set the shell folders and the folder for it: an
; earlier install's of that kind, else Program Files or the user's programs.
Function InstallModeChosen
    ${If} $MultiUser.InstallMode == "AllUsers"
        StrCpy $AllUsers 1
    ${Else}
        StrCpy $AllUsers 0
    ${EndIf}
    ${If} $ChosenFolder != ""
        StrCpy $INSTDIR $ChosenFolder
    ${EndIf}
FunctionEnd

Function un.onInit
    !if ${ARCH} == amd64
        SetRegView 64
    !endif
    ; The uninstaller belongs to the install whose entry names its folder.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        StrCpy $AllUsers 1
        SetShellVarContext all
    ${Else}
        StrCpy $AllUsers 0
        SetShellVarContext current
    ${EndIf}
FunctionEnd

; $2: the PATH in $0 without its entries that name $INSTDIR (in any letter
; case, with or without a closing backslash). Whole entries only: a
; neighbour such as "$INSTDIR Plugins" or "\\?\$INSTDIR" stays, and so do the
; other entries, empty ones too, in their order.
Function un.PathWithoutInstallFolder
    StrCpy $2 ""  ; what is kept
    StrCpy $3 ""  ; the entry in hand
    StrCpy $4 0   ; the place in $0
    StrCpy $5 0   ; the number of entries kept
    ${Do}
        StrCpy $6 $0 1 $4
        ${If} $6 == ";"
        ${OrIf} $6 == ""
            ${If} $3 != $INSTDIR
            ${AndIf} $3 != "$INSTDIR\"
                ${If} $5 > 0
                    StrCpy $2 "$2;$3"
                ${Else}
                    StrCpy $2 $3
                ${EndIf}
                IntOp $5 $5 + 1
            ${EndIf}
            ${If} $6 == ""
                ${Break}
            ${EndIf}
            StrCpy $3 ""
        ${Else}
            StrCpy $3 "$3$6"
        ${EndIf}
        IntOp $4 $4 + 1
    ${Loop}
FunctionEnd

Section "Uninstall"
    ; What the installer put there, and nothing else: files the user added to
    ; the folder stay, and so does the folder then.
    Delete "$INSTDIR\HtmlVexel.exe"
    Delete "$INSTDIR\vexel.exe"
    Delete "$INSTDIR\help.chm"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\THIRD-PARTY.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"

    !insertmacro RemoveVerb "SystemFileAssociations\.htm" "${COMPRESS_VERB}"
    !insertmacro RemoveVerb "SystemFileAssociations\.html" "${COMPRESS_VERB}"
    !insertmacro RemoveVerb "Directory" "${COMPRESS_VERB}"
    !insertmacro RemoveVerb "SystemFileAssociations\.htm" "${RESTORE_VERB}"
    !insertmacro RemoveVerb "SystemFileAssociations\.html" "${RESTORE_VERB}"
    DeleteRegKey /ifempty SHCTX "Software\Classes\SystemFileAssociations"

    ${If} $AllUsers == 1
        ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "OnPath"
    ${Else}
        ReadRegDWORD $1 HKCU "${UNINSTALL_KEY}" "OnPath"
    ${EndIf}
    ${If} $1 == 1
        !insertmacro ReadPath "un." $0
        ${If} $PathTooLong == 1
            MessageBox MB_ICONEXCLAMATION "The PATH is too long to be changed safely; remove $INSTDIR from it yourself." /SD IDOK
        ${Else}
            Call un.PathWithoutInstallFolder
            ${If} $2 S== $0
                ; Nothing of ours in it (any more).
            ${ElseIf} $2 != ""
                !insertmacro WritePath "$2"
            ${ElseIf} $AllUsers == 1
                DeleteRegValue HKLM "${MACHINE_ENVIRONMENT}" "Path"
            ${Else}
                ; The PATH was ours alone: the value goes, as it came.
                DeleteRegValue HKCU "Environment" "Path"
            ${EndIf}
        ${EndIf}
    ${EndIf}
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"

    ; The tip window's settings are the user's: removed only when asked.
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVESETTINGS" $R1
    ${If} ${Errors}
        MessageBox MB_YESNO|MB_DEFBUTTON2 "Remove your Html Vexel settings as well?" /SD IDNO IDNO keep
    ${EndIf}
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Korrin\ZP"
    DeleteRegKey /ifempty HKCU "Software\Korrin"
    keep:
SectionEnd
