#pragma once
// The catalogue's file format: records each ended by one zero byte, every other byte stored
// complemented, each record a row of ','-separated fields.
#include <afxwin.h>

#include <cstdio>

// The longest record the reader takes is one less than this; a longer one ends the file.
constexpr int kDsvRecordSize = 800;

// The file's rows, each an array of `columns` fields (the widest row's count); a row with fewer
// fields has null trailing fields. Null when the file cannot be opened. Free with FreeDsvFile.
char*** ReadDsvFile(LPCSTR path, int* rows, int* columns);
void FreeDsvFile(char*** table, int rows, int columns);
// The next record into `buffer`, zero-terminated: its length; -1 when it does not fit in `size`
// bytes with its terminator, or the stream failed; 0 at the end of the stream, where a record
// without its closing zero byte is dropped.
int ReadRecord(FILE* stream, char* buffer, int size);
// Complements `length` bytes in place; answers the count.
int InvertBytes(char* buffer, int length);
