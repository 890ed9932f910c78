// Texts of the program's string table (ids IDS_... in base/resource_ids.h), fetched by id into
// four rotating buffers.
#pragma once

#include <cstddef>

#include "base/resource_ids.h"

constexpr std::size_t kTextBufferCount = 4;
constexpr std::size_t kTextBufferSize = 128; // a text of the table: at most 127 characters


// Loads the text `id` (low 16 bits) of the running program's own table into the next of four 128-byte buffers and returns it, or
// null when the table has no text of that id. A result stays valid for four further calls.
char* LoadText(unsigned id);
