#include "raw_data.h"

#include "byte_buffer.h"

namespace qzrc {

std::string ParseRawData(StatementReader& reader) {
  reader.Begin("the data");
  ByteBuffer out;
  while (!reader.End()) {
    const Token* next = reader.Peek();
    if (next != nullptr && next->kind == Token::Kind::kString) {
      out.Bytes(reader.BytesOf(reader.Take("data")));
    } else {
      int line = reader.Line();
      Number number = reader.Value();
      if (number.isLong) {
        out.Dword(number.value);
      } else {
        if (!FitsInWord(number.value)) {
          throw reader.Error(line, "value does not fit in a WORD; write it with an L suffix for a DWORD");
        }
        out.Word(static_cast<std::uint16_t>(number.value & 0xFFFF));
      }
    }
    reader.OptionalComma();
  }
  return out.bytes();
}

}  // namespace qzrc
