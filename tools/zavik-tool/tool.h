// What the developer tool's source files share: text conversion, whole-file
// reading and the PNG writer.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

// UTF-8 (a leading byte-order mark skipped, bad bytes as U+FFFD) or, when the
// bytes begin with the UTF-16LE mark, UTF-16LE, into wide text.
std::wstring DecodeText(const std::vector<unsigned char>& bytes);
std::wstring WideFromUtf8(const char* text);
std::string Utf8FromWide(const wchar_t* text);

// Reads a whole stream or file; false when the file cannot be opened or read.
bool ReadAllBytes(FILE* stream, std::vector<unsigned char>* bytes);
bool ReadFileBytes(const char* path, std::vector<unsigned char>* bytes);

// Writes w x h pixels (value A<<24|R<<16|G<<8|B, premultiplied) as an 8-bit RGBA
// PNG with straight alpha. False when the file cannot be written.
bool WritePng(const char* path, const uint32_t* pixels, int w, int h);
