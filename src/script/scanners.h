// Scanners for the setup script's text: comma-separated fields and lines.
#pragma once

#include <cstddef>

// A field holds at most 127 characters, a line at most 255; callers' buffers have these sizes.
constexpr std::size_t kFieldSize = 128;
constexpr std::size_t kLineSize = 256;

// Takes the next comma-separated field starting at `text` into `field`. Blanks before and after
// the field are dropped; a double quote as the field's first non-blank character protects commas
// up to the next double quote; every other double quote is dropped. A longer field is cut to 127
// characters, but the scan still moves past all of it. Returns the position just after the comma
// that ended the field, or the position of the terminating NUL.
const char* SplitField(const char* text, char (&field)[kFieldSize]);

// How many characters SplitField would keep of the field at `text` if nothing cut it: blanks
// before the field and the double quotes it drops do not count, trailing blanks are trimmed (the
// first character always stays). A result of kFieldSize or more means SplitField cuts the field.
std::size_t UncutFieldLength(const char* text);

// Takes the next line starting at `text` into `line`. A carriage return or a line feed ends the
// line and only that one character is consumed. A longer line is cut to 255 characters, but the
// scan still moves past all of it. Returns null (leaving `line` untouched) when `text` is empty;
// otherwise the position just after the line's end character, or of the terminating NUL.
const char* ReadLine(const char* text, char (&line)[kLineSize]);
