#include <errno.h>
#include <iconv.h>

#include "convert.h"

namespace cuelint {

namespace {

class IconvConverter : public Converter {
 public:
  explicit IconvConverter(iconv_t cd) : cd_(cd) {}
  ~IconvConverter() override { iconv_close(cd_); }

  Result convert(const char*& in, std::size_t& in_left, char*& out,
                 std::size_t& out_left) override {
    // iconv's input is char** for historical reasons; it does not write through it.
    char* src = const_cast<char*>(in);
    std::size_t r = iconv(cd_, &src, &in_left, &out, &out_left);
    in = src;
    if (r != static_cast<std::size_t>(-1)) return kDone;
    if (errno == E2BIG) return kOutFull;
    if (errno == EINVAL) return kIncomplete;
    return kInvalid;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::unique_ptr<Converter> Converter::open(const char* name) {
  iconv_t cd = iconv_open("UTF-8", name);
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return std::make_unique<IconvConverter>(cd);
}

}  // namespace cuelint
