// The copy page: copies and expands every file of the file table, then writes the registry.
#pragma once

#include <windows.h>

LRESULT CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Removes at most one queued message of the window or its controls and dispatches it; a queued
// command of the Cancel button is dropped.
void PumpOneMessage(HWND window);

// Pauses, throwing away the messages that arrive meanwhile but keeping a quit request.
void DelayWithMessages(DWORD milliseconds);

// A control's client area in the window's client coordinates; empty when there is no such control.
void ControlRectInPage(HWND window, int controlId, RECT* rect);
