#include "document/raw_lines.h"

#include "document/gbk.h"

namespace {

bool endsLineAsCarriageReturn(int byte) { return byte == 0x0D || byte == 0x8C || byte == 0x8D || byte == 0x0C; }
bool endsLineAsLineFeed(int byte) { return byte == 0x0A || byte == 0x8A; }

}  // namespace

RawByteRole RawLineReader::roleOf(int byte, int next) {
    const bool afterCarriageReturn = afterCarriageReturn_;
    afterCarriageReturn_ = false;
    if (isLeadByte(static_cast<unsigned char>(byte)) && next >= 0 && isTrailByte(static_cast<unsigned char>(next)))
        return RawByteRole::Pair;
    if (endsLineAsCarriageReturn(byte)) {
        afterCarriageReturn_ = true;
        return RawByteRole::LineEnd;
    }
    if (endsLineAsLineFeed(byte)) return afterCarriageReturn ? RawByteRole::SkippedLineFeed : RawByteRole::LineEnd;
    return RawByteRole::Single;
}
