// Keyed byte scrambling of enciphered tables.
//
// Tables opened with a key keep their field descriptors, records and memo
// entries scrambled on disk. The transform is obfuscation kept so that files
// written by earlier versions stay readable; it protects nothing against a
// reader who wants the data.
//
// For byte i of a buffer and k running over the key's characters (1, 2, ...,
// len, 1, 2, ...), one step per byte:
//
//     destination[i] = ((i and 0xFF) or key[k]) xor source[i]
//
// The transform is its own inverse: encoding and decoding are the same
// operation and differ only in the result code.
#pragma once

#include "platform/rtl/cp1251.h"

// Scrambles (direction != 0) or unscrambles (direction == 0) length bytes of
// source into destination; source and destination may be the same buffer.
// Returns 1 after encoding, -1 after decoding, 0 when the key is empty (the
// bytes are then copied unchanged). A negative length moves nothing.
int xbEncryptBuffer(const AnsiString& key, const void* source, void* destination, int length, int direction);
