#!/bin/sh
# Checks that a DLL exports exactly the hook library's names, undecorated.
# usage: check_exports.sh OBJDUMP DLL
objdump=$1 dll=$2
export LC_ALL=C
expected="CBTProc CallWndProc ClearOnceThroughPaste GetAllKeyMessageSnatch GetAllMouseMessageSnatch
GetForegroundProcessCaretPos GetForegroundProcessModuleFileName GetMsgProc InitDLLStatus
InstallHook KeyboardProc MouseProc NoteKeyForwardTaken SetAllKeyMessageSnatch SetAllMouseMessageSnatch
SetClearKeyCode SetHistoryKeyCode SetOnceThroughPaste SetPopupKeyThread SetPasteKeyCode SetStopKeyCode
UnInstallHook"
want=$(printf '%s\n' $expected | sort)
# The name table of `objdump -p` lists "[ordinal] name" rows.
have=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
       sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] \(.*\)$/\1/p' | sort)
if [ "$want" != "$have" ]; then
  echo "exports of $dll differ from the expected 22 names:"
  printf '%s\n' "$want" > /tmp/kst-exports-want.$$
  printf '%s\n' "$have" | diff /tmp/kst-exports-want.$$ - ; rm -f /tmp/kst-exports-want.$$
  exit 1
fi
echo "$dll exports the $(printf '%s\n' "$have" | wc -l) expected names"
