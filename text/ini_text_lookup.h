// Lookup of one key of one section in INI-style text held in memory.
#pragma once

#include "text/text_string.h"

// Finds key in section of text, scanning from text's cursor (and at most once
// more from the top). On success value receives a copy of the value; otherwise
// value is left exactly as it was. text's cursor is left at the start of the
// last matching header line read, or where the scan stopped.
void IniTextLookup(const char* section, const char* key, TextString& value, TextString& text);
