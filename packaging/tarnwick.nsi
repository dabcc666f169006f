; The setup and the uninstaller of Tarnwick. Built by make-setup.sh, which passes
;   VERSION        "6.17"
;   OUTFILE        the setup to write
;   FILES          the include (files.nsh) that lists the installed files
;   ESTIMATED_SIZE the installed size in KB
;   ICON           the program icon
;   TEMPLATE       the shipped mainten.ini (a template of defaults)
;
; The setup installs the three programs and the shipped files into one folder. Run over an
; installation it replaces them, but never the user's data: mainten.ini (installed only
; when none is there), the keep lists, the User.def lists, plugins and the log. The
; uninstaller removes only what the setup installed; the user's data only when the user
; says so; the folder only when nothing else is left in it.
;
;   uninstall.exe /S             keeps the user's data
;   uninstall.exe /S /REMOVEDATA removes it too
;
; Exit codes: 0 done, 1 cancelled by the user, 2 failed, 3 a program of Tarnwick is running
; from the folder (nothing was changed). The uninstaller started in the folder goes on from
; a copy of itself and ends at once; the copy (uninstall.exe /S _?=FOLDER) ends with these.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "${FILES}"

!define PRODUCT "Tarnwick"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define RUNSERVICESONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunServicesOnce"
; The name under which trwk6 registers zap in the run-once lists.
!define ZAP_VALUE "String Value"
!define UNINSTALLER "uninstall.exe"
!define EXIT_RUNNING 3

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PRODUCT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\trwk6.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_NOTCHECKED

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; --- Shared by the setup and the uninstaller ---------------------------------------------

; Sets $R9 to "Tarnwick (trwk6.exe)" when trwk6.exe (or another program of ours) runs
; from $INSTDIR, else to "". Windows keeps a running program's file from being opened for
; writing: opening it so, with every kind of sharing allowed, fails with a sharing
; violation exactly then.
!macro RUNNING_CHECK name
  ${If} $R9 == ""
  ${AndIf} ${FileExists} "$INSTDIR\${name}"
    ; GENERIC_WRITE, FILE_SHARE_READ|WRITE|DELETE, OPEN_EXISTING
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${name}", i 0x40000000, i 7, p 0, i 3, i 0x80, p 0) p .r0 ?e'
    Pop $1
    ${If} $0 P<> -1
      System::Call 'kernel32::CloseHandle(p r0)'
    ${ElseIf} $1 = 32  ; ERROR_SHARING_VIOLATION
      StrCpy $R9 "${PRODUCT} (${name})"
    ${EndIf}
  ${EndIf}
!macroend

!macro RUNNING_PROGRAM_FUNCTION prefix
  Function ${prefix}RunningProgram
    Push $0
    Push $1
    StrCpy $R9 ""
    !insertmacro RUNNING_CHECK "trwk6.exe"
    !insertmacro RUNNING_CHECK "Extmaker1.exe"
    !insertmacro RUNNING_CHECK "zap.exe"
    Pop $1
    Pop $0
  FunctionEnd

  ; Ends with exit code 3 while a program of ours runs from $INSTDIR.
  Function ${prefix}QuitWhileRunning
    Call ${prefix}RunningProgram
    ${If} $R9 != ""
      MessageBox MB_OK|MB_ICONSTOP "$R9 is running from $INSTDIR.$\r$\n$\r$\nClose it and run this again." /SD IDOK
      SetErrorLevel ${EXIT_RUNNING}
      Quit
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro RUNNING_PROGRAM_FUNCTION ""
!insertmacro RUNNING_PROGRAM_FUNCTION "un."

; --- Setup -------------------------------------------------------------------------------

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; A silent setup has its folder now (/D=); an interactive one checks on leaving the
  ; folder page.
  ${If} ${Silent}
    Call QuitWhileRunning
  ${EndIf}
FunctionEnd

Function DirectoryLeave
  Call RunningProgram
  ${If} $R9 != ""
    MessageBox MB_OK|MB_ICONSTOP "$R9 is running from $INSTDIR.$\r$\n$\r$\nClose it, or choose another folder, and click Install again."
    Abort  ; stays on the page
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecMain
  SectionIn RO
  ; The program may have been started since the folder was chosen.
  Call QuitWhileRunning

  SetOutPath "$INSTDIR"
  SetOverwrite on
  !insertmacro TRWK_INSTALL_FILES
  ; The shipped mainten.ini holds the defaults: it is never laid over the user's.
  SetOverwrite off
  File "${TEMPLATE}"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\trwk6.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Plugin Creator.lnk" "$INSTDIR\Extmaker1.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\trwk6.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${ESTIMATED_SIZE}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; --- Uninstaller -------------------------------------------------------------------------

Var userData  ; "1" when some of the user's data is in the folder

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  Call un.QuitWhileRunning
FunctionEnd

; Deletes value $1 of key $0 (HKCU when $3 is "HKCU", else HKLM) when it names program $2
; of this folder: the same value of another installation stays.
Function un.DeleteValueNaming
  ${If} $3 == "HKCU"
    ReadRegStr $4 HKCU "$0" "$1"
  ${Else}
    ReadRegStr $4 HKLM "$0" "$1"
  ${EndIf}
  ; Compared without regard to case, with or without quotes around the path.
  ${If} $4 == "$INSTDIR\$2"
  ${OrIf} $4 == '"$INSTDIR\$2"'
    ${If} $3 == "HKCU"
      DeleteRegValue HKCU "$0" "$1"
    ${Else}
      DeleteRegValue HKLM "$0" "$1"
    ${EndIf}
  ${EndIf}
FunctionEnd

!macro DELETE_VALUE_NAMING root key value program
  StrCpy $0 "${key}"
  StrCpy $1 "${value}"
  StrCpy $2 "${program}"
  StrCpy $3 "${root}"
  Call un.DeleteValueNaming
!macroend

; Sets $0 to "1" when files $R0 and $R1 hold the same bytes.
Function un.SameContents
  StrCpy $0 "0"
  ClearErrors
  FileOpen $1 "$R0" r
  IfErrors done
  FileOpen $2 "$R1" r
  IfErrors close1
  FileSeek $1 0 END $3
  FileSeek $2 0 END $4
  ${If} $3 = $4
    FileSeek $1 0 SET
    FileSeek $2 0 SET
    StrCpy $0 "1"
    ${DoWhile} $3 > 0
      FileReadByte $1 $5
      FileReadByte $2 $6
      ${If} $5 <> $6
        StrCpy $0 "0"
        ${Break}
      ${EndIf}
      IntOp $3 $3 - 1
    ${Loop}
  ${EndIf}
  FileClose $2
close1:
  FileClose $1
done:
FunctionEnd

; Calls function $R2 for every file at the top of $INSTDIR whose (long) name ends in $R3,
; with its name in $R4. A mask given to Windows would also match short 8.3 names
; ("notes.cp1x" is NOTES~1.CP1), so the names are tested here.
Function un.ForEachEndingIn
  StrLen $R5 $R3
  IntOp $R5 0 - $R5
  FindFirst $R6 $R4 "$INSTDIR\*"
  ${DoWhile} $R4 != ""
    StrCpy $R7 $R4 "" $R5
    ${If} $R7 == $R3  ; without regard to case, as Windows compares names
    ${AndIfNot} ${FileExists} "$INSTDIR\$R4\*.*"
      Call $R2
    ${EndIf}
    FindNext $R6 $R4
  ${Loop}
  FindClose $R6
FunctionEnd

Function un.NoteUserData
  StrCpy $userData "1"
FunctionEnd

Function un.DeleteFound
  Delete "$INSTDIR\$R4"
FunctionEnd

; The user's data: the settings, the keep lists, the User.def lists and the log by name,
; plugins (*.cp1 bodies, *.cp2 headers) by the end of their names.
!macro USER_DATA_FILES single suffixFunction
  !insertmacro ${single} "mainten.ini"
  !insertmacro ${single} "cookies1.lst"
  !insertmacro ${single} "cookies2.lst"
  !insertmacro ${single} "userdef1.lst"
  !insertmacro ${single} "userdef2.lst"
  !insertmacro ${single} "userdef3.lst"
  !insertmacro ${single} "userdef4.lst"
  !insertmacro ${single} "trwk.log"
  GetFunctionAddress $R2 ${suffixFunction}
  StrCpy $R3 ".cp1"
  Call un.ForEachEndingIn
  StrCpy $R3 ".cp2"
  Call un.ForEachEndingIn
!macroend

!macro NOTE_IF_PRESENT name
  ${If} ${FileExists} "$INSTDIR\${name}"
    StrCpy $userData "1"
  ${EndIf}
!macroend

!macro DELETE_NAMED name
  Delete "$INSTDIR\${name}"
!macroend

Section "Uninstall"
  ; Started again since the uninstaller began?
  Call un.QuitWhileRunning

  !insertmacro TRWK_UNINSTALL_FILES
  Delete "$INSTDIR\${UNINSTALLER}"

  ; A mainten.ini nobody has changed since the setup laid it down is ours, not the user's.
  InitPluginsDir
  SetDetailsPrint none
  File "/oname=$PLUGINSDIR\mainten.ini" "${TEMPLATE}"
  SetDetailsPrint both
  StrCpy $R0 "$PLUGINSDIR\mainten.ini"
  StrCpy $R1 "$INSTDIR\mainten.ini"
  Call un.SameContents
  ${If} $0 == "1"
    Delete "$INSTDIR\mainten.ini"
  ${EndIf}

  StrCpy $userData "0"
  !insertmacro USER_DATA_FILES NOTE_IF_PRESENT un.NoteUserData
  ${If} $userData == "1"
    ; A silent uninstall keeps them, unless told /REMOVEDATA.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVEDATA" $1
    ${If} ${Errors}
      MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
        "Remove your ${PRODUCT} settings, cookie keep lists, User.def lists, plugins and log as well?$\r$\n$\r$\nChoose No to keep them in $INSTDIR for a later installation." \
        /SD IDNO IDNO keepUserData
    ${EndIf}
    !insertmacro USER_DATA_FILES DELETE_NAMED un.DeleteFound
  keepUserData:
  ${EndIf}

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Plugin Creator.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  !insertmacro DELETE_VALUE_NAMING HKCU "${RUN_KEY}" "${PRODUCT}" "trwk6.exe"
  !insertmacro DELETE_VALUE_NAMING HKLM "${RUNONCE_KEY}" "${ZAP_VALUE}" "zap.exe"
  !insertmacro DELETE_VALUE_NAMING HKLM "${RUNSERVICESONCE_KEY}" "${ZAP_VALUE}" "zap.exe"

  ; Never /r: whatever the setup did not put there stays, and the folder with it.
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
SectionEnd
