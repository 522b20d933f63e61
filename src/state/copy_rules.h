// The copy rules of the game state record, as small helpers. Every move into
// a field of the record goes through one of these, so a field is always
// exactly full: no terminator, no stray bytes.
//
//   move_text    characters into a (longer) field: copied from the left,
//                the rest of the field filled with spaces
//   move_record  a record into a work area of its own length, character for
//                character
//   move_number  a number into a digits field, zero-filled on the left
//   digits_value the numeric value of a digits field
#ifndef KEP_STATE_COPY_RULES_H_
#define KEP_STATE_COPY_RULES_H_

#include <cstddef>
#include <cstring>
#include <string_view>

namespace kep {

/// Copies `len` characters from `src` into the `width`-character field at
/// `dst` and fills the rest with spaces. Characters beyond `width` are cut.
inline void move_text(char* dst, std::size_t width, const char* src,
                      std::size_t len) {
  if (len > width) len = width;
  std::memcpy(dst, src, len);
  std::memset(dst + len, ' ', width - len);
}

template <std::size_t N>
void move_text(char (&dst)[N], std::string_view text) {
  move_text(dst, N, text.data(), text.size());
}

/// Copies a field or group of the same width character for character.
template <std::size_t N>
void move_field(char (&dst)[N], const char (&src)[N]) {
  std::memcpy(dst, src, N);
}

/// Copies a record of exactly sizeof(Area) characters into a work area.
template <typename Area>
void move_record(Area& area, const char* record) {
  std::memcpy(&area, record, sizeof(Area));
}

/// Fills a field or group with spaces.
template <typename Area>
void fill_spaces(Area& area) {
  std::memset(&area, ' ', sizeof(Area));
}

/// Writes `value` as N digits, zero-filled on the left; higher digits that do
/// not fit are dropped, as a digits field keeps only its low digits.
template <std::size_t N>
void move_number(char (&dst)[N], unsigned value) {
  for (std::size_t i = N; i-- > 0;) {
    dst[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

/// The numeric value of a digits field, or -1 when any of its characters is
/// not a digit (data files may put anything in a digits column).
template <std::size_t N>
int digits_value(const char (&field)[N]) {
  int value = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value;
}

/// Character comparison of two fields of the same width.
template <std::size_t N>
bool same_chars(const char (&a)[N], const char (&b)[N]) {
  return std::memcmp(a, b, N) == 0;
}

inline bool is_flag(const char (&flag)[1], char value) { return flag[0] == value; }
inline void set_flag(char (&flag)[1], char value) { flag[0] = value; }

}  // namespace kep

#endif  // KEP_STATE_COPY_RULES_H_
