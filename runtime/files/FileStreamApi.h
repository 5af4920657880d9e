// Entry points of the binary and text file streams. The stream is always the
// first argument and is borrowed, as are all other arguments. Input and output
// failures raise nothing: reads give 0 or the empty string and errno stays in
// LastErrorCode. A closed stream reads nothing and writes nothing. A nil
// stream raises NilObjectException. Lengths and positions are 64-bit.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Numbers in the stream's byte order (big-endian unless LittleEndian); 0 when
// fewer bytes than the number needs could be read.
int32_t BinaryStreamReadByte(RTObject* stream);
int32_t BinaryStreamReadInt8(RTObject* stream);
int32_t BinaryStreamReadShort(RTObject* stream);
int32_t BinaryStreamReadInt16(RTObject* stream);
int32_t BinaryStreamReadUInt16(RTObject* stream);
int32_t BinaryStreamReadLong(RTObject* stream);
int32_t BinaryStreamReadInt32(RTObject* stream);
uint32_t BinaryStreamReadUInt32(RTObject* stream);
int64_t BinaryStreamReadInt64(RTObject* stream);
uint64_t BinaryStreamReadUInt64(RTObject* stream);
uint8_t BinaryStreamReadBoolean(RTObject* stream);
// Returns a new reference to up to count bytes tagged with encoding (nil: unknown).
RTString BinaryStreamRead(RTObject* stream, int32_t count, RTObject* encoding);
// Returns a new reference to a length-prefixed text tagged like BinaryStreamRead.
RTString BinaryStreamReadPString(RTObject* stream, RTObject* encoding);

void BinaryStreamWriteByte(RTObject* stream, int32_t value);
void BinaryStreamWriteInt8(RTObject* stream, int32_t value);
void BinaryStreamWriteUInt8(RTObject* stream, int32_t value);
void BinaryStreamWriteShort(RTObject* stream, int32_t value);
void BinaryStreamWriteInt16(RTObject* stream, int32_t value);
void BinaryStreamWriteUInt16(RTObject* stream, int32_t value);
void BinaryStreamWriteLong(RTObject* stream, int32_t value);
void BinaryStreamWriteInt32(RTObject* stream, int32_t value);
void BinaryStreamWriteUInt32(RTObject* stream, uint32_t value);
void BinaryStreamWriteInt64(RTObject* stream, int64_t value);
void BinaryStreamWriteUInt64(RTObject* stream, uint64_t value);
void BinaryStreamWriteBoolean(RTObject* stream, uint8_t value);
// Writes the bytes of text (borrowed) as they are.
void BinaryStreamWrite(RTObject* stream, RTString text);
// Writes a length byte (at most 255) and that many bytes of text (borrowed).
void BinaryStreamWritePString(RTObject* stream, RTString text);

// The file's length; 0 when closed or unknown.
int64_t BinaryStreamLengthGetter(RTObject* stream);
// Truncates or extends the file.
void BinaryStreamLengthSetter(RTObject* stream, int64_t length);
int64_t BinaryStreamPositionGetter(RTObject* stream);
void BinaryStreamPositionSetter(RTObject* stream, int64_t position);
// True at or past the end, or when closed.
uint8_t BinaryStreamEOFGetter(RTObject* stream);
void BinaryStreamFlush(RTObject* stream);
void BinaryStreamClose(RTObject* stream);
// The open file's error code, or the one kept at Close.
int32_t BinaryStreamLastErrorGetter(RTObject* stream);
uint8_t BinaryStreamReadErrorGetter(RTObject* stream);
uint8_t BinaryStreamWriteErrorGetter(RTObject* stream);

// Returns a new reference to the next line without its ending, tagged with
// encoding (nil: the stream's Encoding).
RTString TextInputStreamReadLine(RTObject* stream, RTObject* encoding);
// Returns a new reference to the next count bytes, tagged like ReadLine.
RTString TextInputStreamRead(RTObject* stream, int32_t count, RTObject* encoding);
// Returns a new reference to the rest of the file, tagged like ReadLine.
RTString TextInputStreamReadAll(RTObject* stream, RTObject* encoding);
// True when the buffer is used up and the file is at its end, or when closed.
uint8_t TextInputStreamEOFGetter(RTObject* stream);
// The position of the next byte to be read.
int64_t TextInputStreamPositionGetter(RTObject* stream);
// Moves to position and refills the buffer from there.
void TextInputStreamPositionSetter(RTObject* stream, int64_t position);
void TextInputStreamClose(RTObject* stream);
int32_t TextInputStreamLastErrorGetter(RTObject* stream);
uint8_t TextInputStreamReadErrorGetter(RTObject* stream);

// Writes the bytes of line (borrowed) and the Delimiter (a line feed when empty).
void TextOutputStreamWriteLine(RTObject* stream, RTString line);
// Writes the bytes of text (borrowed) and no ending.
void TextOutputStreamWrite(RTObject* stream, RTString text);
void TextOutputStreamFlush(RTObject* stream);
void TextOutputStreamClose(RTObject* stream);
int32_t TextOutputStreamLastErrorGetter(RTObject* stream);
uint8_t TextOutputStreamWriteErrorGetter(RTObject* stream);

#ifdef __cplusplus
}
#endif
