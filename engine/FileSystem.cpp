#include "engine/FileSystem.h"

namespace quibex {

void CodePage::AddLeadRange(unsigned char first, unsigned char last) {
    for (unsigned c = first; c <= last; ++c) leadByte[c] = true;
    doubleByte = true;
}

}  // namespace quibex
