// Windows Vista and later give a program that the user starts a limited
// token, to which the machine's classes refuse KEY_ALL_ACCESS. InstallMode
// then asks for elevation once and hands its dialog to the instance that
// the request starts.
//
// The handover: the first instance creates the event below, releases the
// mutex (which stays in existence through its handle) and asks. Any later
// start finds the mutex taken; only while the event exists may it take the
// mutex's ownership, which one start alone can get. The one that does
// signals the event and shows the dialog, without asking again; the first
// instance, woken by the event or by the end of the process it started,
// closes its handles and ends. A start that comes while the mutex is owned,
// or when the event is gone, ends at once.
#pragma once
#include <windows.h>

#define HANDOVER_EVENT_NAME "tessaro.InstallDlg.Elevation"

// For the instance that created the mutex. False when nothing is refused,
// the token is elevated or cannot be asked (before Vista): the dialog shows
// here as ever. True when the dialog is left to an elevated instance, or
// the request was declined or failed: this instance shows nothing.
bool HandOverToElevated(HANDLE mutex);

// For an instance that found the mutex in existence: true when a handover
// is pending and this instance won it; it then owns the mutex.
bool TakeOverDialog(HANDLE mutex);
