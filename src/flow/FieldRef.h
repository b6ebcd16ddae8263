#pragma once
// A reference to one numeric field of a record by its address, width and
// signedness, so that statuses and command parameters of different widths
// are read and written as 32-bit values: a read widens by the field's sign, a
// write narrows by keeping the low bytes, as storing into the field does.

#include <cstdint>
#include <type_traits>

struct cFieldRef {
  void* m_pField = nullptr;  // null: no such field
  int m_Bytes = 0;
  bool m_Signed = true;

  explicit operator bool() const { return m_pField != nullptr; }
};

template <class T>
cFieldRef Field(T& field) {
  static_assert(std::is_integral_v<T> && (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4));
  return cFieldRef{&field, static_cast<int>(sizeof(T)), std::is_signed_v<T>};
}

inline int32_t ReadField(const cFieldRef& ref) {
  switch (ref.m_Bytes) {
    case 1:
      return ref.m_Signed ? int32_t{*static_cast<int8_t*>(ref.m_pField)} : int32_t{*static_cast<uint8_t*>(ref.m_pField)};
    case 2:
      return *static_cast<int16_t*>(ref.m_pField);
    default:
      return *static_cast<int32_t*>(ref.m_pField);
  }
}

inline void WriteField(const cFieldRef& ref, int32_t value) {
  switch (ref.m_Bytes) {
    case 1:
      if (ref.m_Signed) {
        *static_cast<int8_t*>(ref.m_pField) = static_cast<int8_t>(value);
      } else {
        *static_cast<uint8_t*>(ref.m_pField) = static_cast<uint8_t>(value);
      }
      break;
    case 2:
      *static_cast<int16_t*>(ref.m_pField) = static_cast<int16_t>(value);
      break;
    default:
      *static_cast<int32_t*>(ref.m_pField) = value;
      break;
  }
}
