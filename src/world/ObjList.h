#pragma once
// cObjList<T>: a list of stage objects of one class, as the game scene keeps
// its characters (g_CharaList), items (g_ItemList) and shots.
//
// Elements never move. Each one lives in its own allocation, so its address
// stays the same for as long as it is in the list, whatever is appended or
// removed around it: other objects keep plain pointers to it (target slots,
// parents, links, group lists, the scene's current character).
//
// Removal and walks. Game code walks a list and, in the middle of a step, may
// remove elements (a death flow vanishes another character, a summon fails)
// or append new ones (a summon, a dropped item), sometimes several calls deep
// inside another walk of the same list. So:
//   - Remove marks the element removed: from then on walks skip it and Count
//     no longer counts it, but its memory stays valid until no walk of the
//     list is running any more. Then every removed element is destroyed and
//     the others close up, keeping their order. Without a walk running,
//     Remove destroys at once.
//   - An element appended during a walk goes to the end; the walk reaches it.
// A walk is ForEach, or a range-for over the list (its iterators count as a
// walk while they exist).
//
// Stamp. Every change of membership (an append, a removal, a clear) gives the
// list a new stamp, unique among all lists of the same class for the life of
// the process, so a view built from a walk (the block characters of the
// character list) can tell whether it still shows the same elements.
//
// Game logic runs on one thread at a time; the list has no lock.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

template <class T>
class cObjList {
  struct cNode {
    std::unique_ptr<T> m_Object;
    bool m_bRemoved = false;
  };

  // Counts a walk for as long as it lives; the last one to end sweeps.
  class cWalkGuard {
   public:
    explicit cWalkGuard(cObjList& list) : m_List(list) { ++m_List.m_Walks; }
    ~cWalkGuard() {
      --m_List.m_Walks;
      m_List.SweepIfIdle();
    }
    cWalkGuard(const cWalkGuard&) = delete;
    cWalkGuard& operator=(const cWalkGuard&) = delete;

   private:
    cObjList& m_List;
  };

  // The same, copyable, for iterators.
  class cWalkGuardHolder {
   public:
    explicit cWalkGuardHolder(cObjList& list) : m_List(&list) { ++m_List->m_Walks; }
    cWalkGuardHolder(const cWalkGuardHolder& other) : m_List(other.m_List) { ++m_List->m_Walks; }
    cWalkGuardHolder& operator=(const cWalkGuardHolder& other) {
      cWalkGuardHolder copy(other);
      std::swap(m_List, copy.m_List);
      return *this;
    }
    ~cWalkGuardHolder() {
      --m_List->m_Walks;
      m_List->SweepIfIdle();
    }

   private:
    cObjList* m_List;
  };

 public:
  cObjList() : m_nStamp(NextStamp()) {}
  cObjList(const cObjList&) = delete;
  cObjList& operator=(const cObjList&) = delete;

  // A new element at the end: a copy of `value`, or default-constructed.
  T& Append(const T& value) { return Add(std::make_unique<T>(value)); }
  T& Emplace() { return Add(std::make_unique<T>()); }

  // Removes `element` (see above). An element that is not in the list, or is
  // already removed, changes nothing.
  void Remove(const T* element) {
    for (cNode& node : m_Nodes) {
      if (node.m_Object.get() != element || node.m_bRemoved) continue;
      node.m_bRemoved = true;
      --m_Count;
      m_bSweepPending = true;
      m_nStamp = NextStamp();
      break;
    }
    SweepIfIdle();
  }
  // Removes every element.
  void Clear() {
    for (cNode& node : m_Nodes) node.m_bRemoved = true;
    m_Count = 0;
    m_bSweepPending = !m_Nodes.empty();
    m_nStamp = NextStamp();
    SweepIfIdle();
  }

  // Changes with every append, removal and clear (see above).
  std::uint64_t Stamp() const { return m_nStamp; }

  // Elements not removed.
  int Count() const { return m_Count; }
  bool IsEmpty() const { return m_Count == 0; }
  // Whether `element` is in the list and not removed.
  bool Contains(const T* element) const {
    for (const cNode& node : m_Nodes) {
      if (node.m_Object.get() == element) return !node.m_bRemoved;
    }
    return false;
  }
  // The first element not removed whose object key (m_Key) is `key`, or null.
  T* FindByKey(int32_t key) {
    for (cNode& node : m_Nodes) {
      if (!node.m_bRemoved && node.m_Object->m_Key == key) return node.m_Object.get();
    }
    return nullptr;
  }
  // The n-th element not removed (0 first), or null.
  T* Nth(int n) {
    for (cNode& node : m_Nodes) {
      if (node.m_bRemoved) continue;
      if (n-- == 0) return node.m_Object.get();
    }
    return nullptr;
  }

  // Calls f(T&) for every element not removed, in order, as a walk.
  template <class tFn>
  void ForEach(tFn&& fn) {
    cWalkGuard guard(*this);
    for (std::size_t i = 0; i < m_Nodes.size(); ++i) {
      if (!m_Nodes[i].m_bRemoved) fn(*m_Nodes[i].m_Object);
    }
  }

  // Range-for over the elements not removed; the iterators count as a walk.
  class iterator {
   public:
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    iterator(cObjList* list, std::size_t index) : m_Guard(*list), m_List(list), m_Index(index) { SkipRemoved(); }
    T& operator*() const { return *m_List->m_Nodes[m_Index].m_Object; }
    T* operator->() const { return m_List->m_Nodes[m_Index].m_Object.get(); }
    iterator& operator++() {
      ++m_Index;
      SkipRemoved();
      return *this;
    }
    // The end iterator stands for "past the last element", wherever the end
    // is by the time the comparison is made.
    bool operator==(const iterator& other) const { return Position() == other.Position(); }

   private:
    std::size_t Position() const { return std::min(m_Index, m_List->m_Nodes.size()); }
    void SkipRemoved() {
      while (m_Index < m_List->m_Nodes.size() && m_List->m_Nodes[m_Index].m_bRemoved) ++m_Index;
    }
    cWalkGuardHolder m_Guard;
    cObjList* m_List;
    std::size_t m_Index;
  };
  iterator begin() { return iterator(this, 0); }
  iterator end() { return iterator(this, static_cast<std::size_t>(-1)); }

 private:
  static std::uint64_t NextStamp() {
    static std::uint64_t s_nLast = 0;
    return ++s_nLast;
  }

  T& Add(std::unique_ptr<T> object) {
    T& added = *object;
    m_Nodes.push_back(cNode{std::move(object), false});
    ++m_Count;
    m_nStamp = NextStamp();
    return added;
  }

  void SweepIfIdle() {
    if (m_Walks != 0 || !m_bSweepPending) return;
    m_bSweepPending = false;
    // Taken out first: destroying an element must not see a half-swept list.
    std::vector<std::unique_ptr<T>> removed;
    std::size_t kept = 0;
    for (cNode& node : m_Nodes) {
      if (node.m_bRemoved) {
        removed.push_back(std::move(node.m_Object));
      } else {
        if (&m_Nodes[kept] != &node) m_Nodes[kept] = std::move(node);
        ++kept;
      }
    }
    m_Nodes.resize(kept);
  }

  std::vector<cNode> m_Nodes;
  int m_Count = 0;
  int m_Walks = 0;
  bool m_bSweepPending = false;
  std::uint64_t m_nStamp;
};
