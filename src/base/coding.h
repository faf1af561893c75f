// Little-endian encoding, whatever the host's byte order: Put* append a
// fixed-width value to a byte string, Encode* write one in place, Decode*
// read one back. The tagged values are the plan file's: a 16-bit kind tag,
// then the value.
#ifndef SCENARIO_BASE_CODING_H_
#define SCENARIO_BASE_CODING_H_

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

namespace scenario {

inline void EncodeFixed16(char* dst, uint16_t value) {
  dst[0] = static_cast<char>(value & 0xff);
  dst[1] = static_cast<char>(value >> 8);
}

inline void EncodeFixed32(char* dst, uint32_t value) {
  for (int i = 0; i < 4; ++i) dst[i] = static_cast<char>((value >> (8 * i)) & 0xff);
}

inline void EncodeFixed64(char* dst, uint64_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(dst, &value, sizeof value);
  } else {
    for (int i = 0; i < 8; ++i) dst[i] = static_cast<char>((value >> (8 * i)) & 0xff);
  }
}

// IEEE 754 double.
inline void EncodeDouble(char* dst, double value) {
  EncodeFixed64(dst, std::bit_cast<uint64_t>(value));
}

inline uint16_t DecodeFixed16(const char* p) {
  return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8);
}

inline uint32_t DecodeFixed32(const char* p) {
  return static_cast<uint32_t>(DecodeFixed16(p)) | static_cast<uint32_t>(DecodeFixed16(p + 2))
                                                       << 16;
}

inline uint64_t DecodeFixed64(const char* p) {
  uint64_t v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&v, p, sizeof v);
  } else {
    for (int i = 7; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(p[i]);
  }
  return v;
}

inline double DecodeDouble(const char* p) { return std::bit_cast<double>(DecodeFixed64(p)); }

// A tagged value: the tag, then a 16-bit whole number or a double.
inline void EncodeTaggedFixed16(char* dst, uint16_t tag, uint16_t value) {
  EncodeFixed16(dst, tag);
  EncodeFixed16(dst + 2, value);
}
inline void EncodeTaggedDouble(char* dst, uint16_t tag, double value) {
  EncodeFixed16(dst, tag);
  EncodeDouble(dst + 2, value);
}

inline void PutFixed8(std::string* dst, uint8_t value) { dst->push_back(static_cast<char>(value)); }

inline void PutFixed16(std::string* dst, uint16_t value) {
  char buf[2];
  EncodeFixed16(buf, value);
  dst->append(buf, sizeof buf);
}

inline void PutFixed32(std::string* dst, uint32_t value) {
  char buf[4];
  EncodeFixed32(buf, value);
  dst->append(buf, sizeof buf);
}

inline void PutFixed64(std::string* dst, uint64_t value) {
  char buf[8];
  EncodeFixed64(buf, value);
  dst->append(buf, sizeof buf);
}

}  // namespace scenario

#endif  // SCENARIO_BASE_CODING_H_
