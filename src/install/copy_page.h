// The copy page: copies and expands every file of the file table, then writes the registry.
#pragma once

#include <windows.h>

#include "install/file_placement.h"

LRESULT CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The copy loop over every disk and file, then the registry steps.
void CopyAllFiles(HWND page);

// Opens the source for expansion into g_setup.lzSource, then lets one message of the page
// through. True when the source is open.
bool OpenSourceFile(HWND page, const char* sourcePath);

// Writes the target (null: there is none to write) from g_setup.lzSource, expanding it into a
// temporary file beside the target that takes the target's place only once it is whole, closes
// the files, then lets one message of the page through. Nothing is ever written under another
// name; on failure the target is as it was. A target that carries a higher version than the new
// file is kept. `flags` are the install record's flags of the file (kFileFlag...) as it was
// found: what is recorded, and whether its use count is kept.
Placement CopyToTarget(HWND page, const char* targetPath, const char* flags);

// Removes at most one queued message of the window or its controls and dispatches it; a queued
// command 1 is dropped.
void PumpOneMessage(HWND window);

// Pauses, throwing away the messages that arrive meanwhile but keeping a quit request.
void DelayWithMessages(DWORD milliseconds);

// Draws the sunken gauge box over a control, filled with a colour code or a stock brush.
void DrawGaugeBox(HWND window, HDC dc, int controlId, unsigned fillCode);

// A control's client area in the window's client coordinates; empty when there is no such control.
void ControlRectInPage(HWND window, int controlId, RECT* rect);
