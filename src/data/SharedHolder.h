#pragma once
// cSharedHolder<T>: the holder of one optional part of a command (its movement
// parameters, its shot parameters or its condition list). It is either empty
// or owns one T through a reference-counted pointer.
//
// Copying a holder copies the object: the copy gets a new T of its own with
// every member of the source's, so two commands never share their parameters
// and changing one leaves the other as it was. Moving hands the object over and
// leaves the source empty.
//
// T is a record class whose Reset() registers it at DATA_VERSION, clears it and
// sets its class defaults, and whose copy assignment copies every member.

#include <boost/checked_delete.hpp>
#include <boost/shared_ptr.hpp>

template <class T>
class cSharedHolder {
 public:
  cSharedHolder() = default;
  cSharedHolder(const cSharedHolder& other) { *this = other; }
  cSharedHolder(cSharedHolder&& other) noexcept = default;
  cSharedHolder& operator=(cSharedHolder&& other) noexcept = default;
  ~cSharedHolder() = default;

  // Empty source: this holder becomes empty. Otherwise this holder gets a new
  // object (class defaults, then every member of the source's object). The
  // source's object is copied before this holder lets go of its own, so a
  // holder assigned to itself, or to a holder of the same object, keeps it.
  cSharedHolder& operator=(const cSharedHolder& other) {
    if (!other.m_pObject) {
      Release();
      return *this;
    }
    boost::shared_ptr<T> copy = MakeFresh();
    *copy = *other.m_pObject;
    m_pObject = copy;
    return *this;
  }

  // Replaces the held object (if any) by a new one with the class defaults and
  // returns it.
  T& Create() {
    m_pObject = MakeFresh();
    return *m_pObject;
  }

  // Drops the held object; the holder is empty.
  void Release() { m_pObject.reset(); }

  bool IsEmpty() const { return !m_pObject; }
  explicit operator bool() const { return static_cast<bool>(m_pObject); }

  // The held object, or null when the holder is empty.
  T* Get() const { return m_pObject.get(); }
  T* operator->() const { return m_pObject.get(); }
  T& operator*() const { return *m_pObject; }

 private:
  static boost::shared_ptr<T> MakeFresh() {
    boost::shared_ptr<T> object(new T(), boost::checked_deleter<T>());
    object->Reset();
    return object;
  }

  boost::shared_ptr<T> m_pObject;
};
