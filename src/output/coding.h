// Little-endian encoding helpers: each appends a fixed-width value to a byte
// string, whatever the host's byte order.
#ifndef SCENARIO_OUTPUT_CODING_H_
#define SCENARIO_OUTPUT_CODING_H_

#include <cstdint>
#include <cstring>
#include <string>

namespace scenario {

inline void PutFixed8(std::string* dst, uint8_t value) { dst->push_back(static_cast<char>(value)); }

inline void PutFixed16(std::string* dst, uint16_t value) {
  const char buf[2] = {static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff)};
  dst->append(buf, sizeof buf);
}

inline void PutFixed32(std::string* dst, uint32_t value) {
  const char buf[4] = {static_cast<char>(value & 0xff), static_cast<char>((value >> 8) & 0xff),
                       static_cast<char>((value >> 16) & 0xff),
                       static_cast<char>((value >> 24) & 0xff)};
  dst->append(buf, sizeof buf);
}

inline void PutFixed64(std::string* dst, uint64_t value) {
  PutFixed32(dst, static_cast<uint32_t>(value));
  PutFixed32(dst, static_cast<uint32_t>(value >> 32));
}

// IEEE 754 double, little-endian.
inline void PutDouble(std::string* dst, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutFixed64(dst, bits);
}

// The decoding counterparts: each reads a fixed-width little-endian value
// at `p`, whatever the host's byte order. The caller has checked that the
// bytes are there.
inline uint16_t DecodeFixed16(const char* p) {
  return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8);
}

inline uint32_t DecodeFixed32(const char* p) {
  return static_cast<uint32_t>(DecodeFixed16(p)) | static_cast<uint32_t>(DecodeFixed16(p + 2))
                                                       << 16;
}

inline uint64_t DecodeFixed64(const char* p) {
  return static_cast<uint64_t>(DecodeFixed32(p)) | static_cast<uint64_t>(DecodeFixed32(p + 4))
                                                       << 32;
}

// IEEE 754 double.
inline double DecodeDouble(const char* p) {
  const uint64_t bits = DecodeFixed64(p);
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace scenario

#endif  // SCENARIO_OUTPUT_CODING_H_
