// Fuzz target: the field renderer with arbitrary doubles, floats, widths
// and decimals.  Every field must have exactly its width, use only the
// characters a field may hold, and be all asterisks exactly when it
// overflows.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "report/field.h"
#include "report/record.h"

namespace {

void Check(const std::string& text, int width, bool overflow) {
  if (static_cast<int>(text.size()) != width) std::abort();
  if (overflow != (text.find('*') != std::string::npos)) std::abort();
  if (overflow && text != std::string(width, '*')) std::abort();
  if (text.find_first_not_of(" 0123456789.-*InfityNa") != std::string::npos) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(double) + sizeof(float) + sizeof(int32_t) + 2) return 0;
  double d;
  float f;
  int32_t i;
  std::memcpy(&d, data, sizeof(d));
  std::memcpy(&f, data + sizeof(d), sizeof(f));
  std::memcpy(&i, data + sizeof(d) + sizeof(f), sizeof(i));
  const int width = 1 + data[size - 2] % 40;
  const int decimals = data[size - 1] % 20;
  bool overflow = false;
  Check(adequacy::RenderFixed(d, width, decimals, &overflow), width, overflow);
  overflow = false;
  Check(adequacy::RenderFixed(f, width, decimals, &overflow), width, overflow);
  overflow = false;
  Check(adequacy::RenderInteger(i, width, &overflow), width, overflow);
  // A record is exactly the sum of its widths.
  adequacy::Record record;
  record.Fixed(d, width, decimals).Integer(i, 7).Fixed(f, 12, 8);
  if (static_cast<int>(record.text().size()) != width + 7 + 12) std::abort();
  return 0;
}
