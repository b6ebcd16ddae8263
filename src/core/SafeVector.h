#pragma once
// cSafeVector<T>: std::vector with an index operator that never reads outside
// the vector. A bad index takes the failure path of SafeAccess.h and returns
// element 0, or, when the vector is empty, the fallback element of T. Every
// other operation is the standard vector's.

#include <vector>

#include "core/SafeAccess.h"

template <class T>
class cSafeVector : public std::vector<T> {
 public:
  using std::vector<T>::vector;
  using std::vector<T>::operator=;

  T& operator[](int index) { return *CheckedElement(index); }
  const T& operator[](int index) const { return *const_cast<cSafeVector*>(this)->CheckedElement(index); }

  // Assigns the value to every element, in index order.
  void Fill(const T& value) {
    const int count = static_cast<int>(this->size());
    for (int i = 0; i < count; ++i) (*this)[i] = value;
  }

 private:
  T* CheckedElement(int index) {
    const std::size_t count = this->size();
    if (index >= 0 && static_cast<std::size_t>(index) < count) return this->data() + index;
    ReportSafeIndexFailure(eSafeContainerKind::Vector, index, count, sizeof(T));
    if (count > 0) return this->data();
    return &SafeFallbackElement<T>();
  }
};
