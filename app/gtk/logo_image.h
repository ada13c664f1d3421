// The PNG logo of the About window, embedded in the program at build time from
// resources/logo.png (256 x 256 with alpha). Not for: decoding (the About window
// does that with GdkPixbuf).
#pragma once

namespace kovrex {

// The PNG file's bytes: [LogoPngStart(), LogoPngEnd()).
const unsigned char* LogoPngStart();
const unsigned char* LogoPngEnd();

}  // namespace kovrex
