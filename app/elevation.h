// Windows Vista and later give a program that the user starts a limited
// token, to which the machine's classes refuse KEY_ALL_ACCESS. InstallMode
// then asks for elevation once and hands its dialog to the instance that
// the request starts.
//
// The handover: the first instance keeps the mutex, creates the event below
// under a name that carries its own process id, and asks. The elevation
// service makes the asking process the parent of the one it starts, so that
// instance alone finds an event named after its parent; it shows the dialog
// without asking again. Any other start finds the mutex (or is refused it)
// and no event of its parent's: it ends at once. Started as another user
// (an administrator's password typed by a standard user), the instance may
// be refused both objects: an event that refuses it still exists, which is
// all it needs to know. It signals the event only when it holds the mutex
// too; the first instance, woken by the event or by the end of the process
// it started, then closes its handles and ends, the guard living on in the
// handle that the other holds.
#pragma once
#include <windows.h>

#define HANDOVER_EVENT_FORMAT "tessaro.InstallDlg.Elevation.%lu"

// For the instance that created the mutex. False when nothing is refused,
// the token is elevated or cannot be asked (before Vista), or the request
// failed other than by the user's refusal: the dialog shows here as ever.
// True when the dialog is left to an elevated instance, or the user
// declined: this instance shows nothing.
bool HandOverToElevated();

// For an instance that found the mutex in existence or was refused it
// (mutex null): true when the first instance's request started this one.
bool TakeOverDialog(HANDLE mutex);
