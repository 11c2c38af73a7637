// AfxFormatString1 and AfxFormatString2: a string-table text with its "%1" and "%2" filled in.
#pragma once
#include "cstring.h"

// `format` with "%1" ... "%9" replaced by args[0] ... args[8] (those of them that exist).
// A '%' that does not start such a placeholder is copied as it is, and the argument texts
// are inserted as they are, not searched for placeholders again.
void AfxFormatStrings(CString& rString, const char* format, const char* const* args, int nArgs);

// String nIDS of the program's string table with "%1" (and "%2") replaced.
void AfxFormatString1(CString& rString, UINT nIDS, const char* lpsz1);
void AfxFormatString2(CString& rString, UINT nIDS, const char* lpsz1, const char* lpsz2);
