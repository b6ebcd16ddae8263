#include "platform/MessageCore.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Clock.h"

// Locking: the registry mutex guards the tables of threads and windows; each
// queue's mutex guards that queue's contents and the completion of sends made
// BY that queue's thread. No code path holds two of these mutexes at once, and
// no window procedure is ever called with one held, so procedures may call
// back into the message core freely.

namespace plat {
namespace {

struct cThreadQueue;

// One SendMessage waiting for its answer. The owner of the window serves it;
// the answer is handed back under the sender's queue mutex and the sender is
// woken through its own queue's condition variable, which is also what it
// waits on for sends addressed to itself.
struct cSendRecord {
  HWND window = nullptr;
  UINT message = WM_NULL;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::shared_ptr<cThreadQueue> sender;
  bool done = false;  // guarded by sender->mutex
  LRESULT result = 0;  // guarded by sender->mutex
};

using SendPtr = std::shared_ptr<cSendRecord>;

struct cThreadQueue {
  explicit cThreadQueue(ThreadId threadId) : id(threadId) {}

  const ThreadId id;
  std::mutex mutex;
  std::condition_variable wake;  // only the owning thread waits on it
  // Written under `mutex`; read without it by the owner to see whether a
  // reset or its own departure has dropped the queue.
  std::atomic<bool> alive{true};
  std::deque<MSG> posted;
  std::deque<SendPtr> sends;
  bool refusingSends = false;
  int suspendCount = 0;
};

using QueuePtr = std::shared_ptr<cThreadQueue>;

struct cWindowRecord {
  ThreadId owner = 0;
  WNDPROC proc = nullptr;
  void* userData = nullptr;
};

struct cRegistry {
  std::mutex mutex;
  std::unordered_map<ThreadId, QueuePtr> threads;
  std::unordered_map<std::uintptr_t, cWindowRecord> windows;
  // Ids are never reused, not even across a test reset, so a stale handle
  // kept by a test can never name a newer window or thread.
  ThreadId nextThreadId = 1;
  std::uintptr_t nextWindowId = 1;
  std::atomic<ThreadId> mainThread{0};
};

// Never destroyed: threads may leave the message core (their thread-local
// slot is destroyed) after static destructors have started at process exit.
cRegistry& Registry() {
  static cRegistry* registry = new cRegistry;
  return *registry;
}

std::uintptr_t WindowKey(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }
HWND WindowFromKey(std::uintptr_t key) { return reinterpret_cast<HWND>(key); }

void CompleteSend(const SendPtr& record, LRESULT result) {
  cThreadQueue& sender = *record->sender;
  {
    std::lock_guard<std::mutex> lock(sender.mutex);
    record->done = true;
    record->result = result;
  }
  sender.wake.notify_all();
}

void ReleaseSends(std::deque<SendPtr>& sends) {
  for (const SendPtr& record : sends) CompleteSend(record, 0);
  sends.clear();
}

// Marks a queue as gone: nothing can be posted or sent to it any more, and
// senders waiting on it answer 0.
void KillQueue(cThreadQueue& queue) {
  std::deque<SendPtr> waiting;
  {
    std::lock_guard<std::mutex> lock(queue.mutex);
    queue.alive.store(false);
    queue.posted.clear();
    queue.suspendCount = 0;
    waiting.swap(queue.sends);
  }
  queue.wake.notify_all();
  ReleaseSends(waiting);
}

QueuePtr FindQueue(ThreadId thread) {
  cRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto found = registry.threads.find(thread);
  return found != registry.threads.end() ? found->second : nullptr;
}

bool FindWindow(HWND window, cWindowRecord* out) {
  if (window == nullptr) return false;
  cRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto found = registry.windows.find(WindowKey(window));
  if (found == registry.windows.end()) return false;
  *out = found->second;
  return true;
}

LRESULT CallWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  cWindowRecord record;
  if (!FindWindow(window, &record) || record.proc == nullptr) return 0;
  return record.proc(window, message, wParam, lParam);
}

void ForgetQueue(ThreadId thread);

// The calling thread's membership. Its destructor runs when the thread ends,
// so a thread that exits without leaving the message core still releases the
// senders waiting on it instead of leaving them blocked for ever.
struct cThreadSlot {
  QueuePtr queue;
  ~cThreadSlot() {
    if (queue && queue->alive.load()) ForgetQueue(queue->id);
    queue.reset();
  }
};

thread_local cThreadSlot t_Slot;

// The calling thread's queue, created on first use (or again after the
// thread left the message core or a test reset dropped it). Callers keep the
// returned pointer for the whole call: a procedure they serve may make the
// thread leave, which drops the slot's reference.
QueuePtr OwnQueue() {
  if (t_Slot.queue && t_Slot.queue->alive.load()) return t_Slot.queue;
  cRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto queue = std::make_shared<cThreadQueue>(registry.nextThreadId++);
  registry.threads.emplace(queue->id, queue);
  t_Slot.queue = queue;
  return queue;
}

void ForgetQueue(ThreadId thread) {
  QueuePtr queue;
  {
    cRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto found = registry.threads.find(thread);
    if (found == registry.threads.end()) return;
    queue = std::move(found->second);
    registry.threads.erase(found);
    std::erase_if(registry.windows, [thread](const auto& entry) { return entry.second.owner == thread; });
  }
  KillQueue(*queue);
}

// Serves the oldest send waiting for `queue` (which must be the caller's).
// Called with `lock` held on the queue; the procedure runs with it released.
void ServeOneSend(cThreadQueue& queue, std::unique_lock<std::mutex>& lock) {
  SendPtr record = std::move(queue.sends.front());
  queue.sends.pop_front();
  lock.unlock();
  const LRESULT result = CallWindowProcedure(record->window, record->message, record->wParam, record->lParam);
  CompleteSend(record, result);
  lock.lock();
}

int ServeAllSends(cThreadQueue& queue, std::unique_lock<std::mutex>& lock) {
  int served = 0;
  while (!queue.sends.empty()) {
    ServeOneSend(queue, lock);
    ++served;
  }
  return served;
}

// Blocks while the queue's thread is suspended, serving sends meanwhile.
void WaitWhileSuspended(cThreadQueue& queue, std::unique_lock<std::mutex>& lock, int* served = nullptr) {
  while (queue.suspendCount > 0) {
    if (!queue.sends.empty()) {
      ServeOneSend(queue, lock);
      if (served != nullptr) ++*served;
    } else {
      queue.wake.wait(lock);
    }
  }
}

bool MatchesFilter(const MSG& msg, HWND filter, UINT min, UINT max) {
  // The quit request passes every filter, so a loop that waits for a narrow
  // set of messages still learns that it has to end.
  if (msg.message == WM_QUIT) return true;
  if (filter != nullptr && msg.hwnd != filter) return false;
  if (min == 0 && max == 0) return true;
  return msg.message >= min && msg.message <= max;
}

std::deque<MSG>::iterator FindPosted(cThreadQueue& queue, HWND filter, UINT min, UINT max) {
  return std::find_if(queue.posted.begin(), queue.posted.end(),
                      [&](const MSG& msg) { return MatchesFilter(msg, filter, min, max); });
}

bool PostToQueue(const QueuePtr& queue, const MSG& msg) {
  if (!queue) return false;
  {
    std::lock_guard<std::mutex> lock(queue->mutex);
    if (!queue->alive.load()) return false;
    queue->posted.push_back(msg);
  }
  queue->wake.notify_all();
  return true;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg;
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = TimeGetTime();
  return msg;
}

// Queues a send on the owner's queue; false when the owner cannot take it.
bool QueueSend(const QueuePtr& owner, const SendPtr& record) {
  if (!owner) return false;
  {
    std::lock_guard<std::mutex> lock(owner->mutex);
    if (!owner->alive.load() || owner->refusingSends) return false;
    owner->sends.push_back(record);
  }
  owner->wake.notify_all();
  return true;
}

// Waits for the answer to a send made by the calling thread, serving the
// sends that reach it meanwhile (a partner may be sending to us right now).
LRESULT AwaitAnswer(cThreadQueue& own, const SendPtr& record) {
  std::unique_lock<std::mutex> lock(own.mutex);
  while (!record->done) {
    if (!own.sends.empty()) {
      ServeOneSend(own, lock);
    } else {
      own.wake.wait(lock);
    }
  }
  return record->result;
}

}  // namespace

// ---- threads and their queues -------------------------------------------

ThreadId CurrentThreadId() { return OwnQueue()->id; }

ThreadId CreateThreadQueue() { return OwnQueue()->id; }

void DestroyThreadQueue() {
  if (t_Slot.queue && t_Slot.queue->alive.load()) ForgetQueue(t_Slot.queue->id);
  t_Slot.queue.reset();
}

bool ThreadHasQueue(ThreadId thread) { return FindQueue(thread) != nullptr; }

void SetMainThread(ThreadId thread) { Registry().mainThread.store(thread); }

ThreadId MainThreadId() { return Registry().mainThread.load(); }

void RefuseSends(ThreadId thread) {
  QueuePtr queue = FindQueue(thread);
  if (!queue) return;
  std::deque<SendPtr> waiting;
  {
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->refusingSends = true;
    waiting.swap(queue->sends);
  }
  ReleaseSends(waiting);
}

// ---- windows ------------------------------------------------------------

HWND CreateWindowHandle(WNDPROC proc, void* userData) {
  const ThreadId owner = OwnQueue()->id;
  cRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  const std::uintptr_t key = registry.nextWindowId++;
  registry.windows.emplace(key, cWindowRecord{owner, proc, userData});
  return WindowFromKey(key);
}

void DestroyWindowHandle(HWND window) {
  cRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.windows.erase(WindowKey(window));
}

bool IsWindow(HWND window) {
  cWindowRecord record;
  return FindWindow(window, &record);
}

void* GetWindowUserData(HWND window) {
  cWindowRecord record;
  return FindWindow(window, &record) ? record.userData : nullptr;
}

void SetWindowUserData(HWND window, void* userData) {
  cRegistry& registry = Registry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto found = registry.windows.find(WindowKey(window));
  if (found != registry.windows.end()) found->second.userData = userData;
}

ThreadId GetWindowThreadId(HWND window) {
  cWindowRecord record;
  return FindWindow(window, &record) ? record.owner : 0;
}

// ---- messages -----------------------------------------------------------

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  cWindowRecord record;
  if (!FindWindow(window, &record)) return false;
  return PostToQueue(FindQueue(record.owner), MakeMessage(window, message, wParam, lParam));
}

bool PostThreadMessage(ThreadId thread, UINT message, WPARAM wParam, LPARAM lParam) {
  return PostToQueue(FindQueue(thread), MakeMessage(nullptr, message, wParam, lParam));
}

void PostQuitMessage(int exitCode) {
  PostThreadMessage(OwnQueue()->id, WM_QUIT, static_cast<WPARAM>(static_cast<std::intptr_t>(exitCode)), 0);
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  cWindowRecord target;
  if (!FindWindow(window, &target)) return 0;
  QueuePtr own = OwnQueue();
  if (target.owner == own->id) {
    return target.proc != nullptr ? target.proc(window, message, wParam, lParam) : 0;
  }
  auto record = std::make_shared<cSendRecord>();
  record->window = window;
  record->message = message;
  record->wParam = wParam;
  record->lParam = lParam;
  record->sender = own;
  if (!QueueSend(FindQueue(target.owner), record)) return 0;
  return AwaitAnswer(*own, record);
}

bool PeekMessage(MSG* msg, HWND filter, UINT min, UINT max, UINT removeFlag) {
  const QueuePtr ownQueue = OwnQueue();
  cThreadQueue& own = *ownQueue;
  std::unique_lock<std::mutex> lock(own.mutex);
  ServeAllSends(own, lock);
  auto found = FindPosted(own, filter, min, max);
  if (found == own.posted.end()) return false;
  if (msg != nullptr) *msg = *found;
  if ((removeFlag & PM_REMOVE) != 0) own.posted.erase(found);
  return true;
}

int GetMessage(MSG* msg, HWND filter, UINT min, UINT max) {
  const QueuePtr ownQueue = OwnQueue();
  cThreadQueue& own = *ownQueue;
  std::unique_lock<std::mutex> lock(own.mutex);
  for (;;) {
    ServeAllSends(own, lock);
    if (!own.alive.load()) {
      // The queue was dropped under us: nothing can arrive any more.
      if (msg != nullptr) *msg = MakeMessage(nullptr, WM_QUIT, 0, 0);
      return 0;
    }
    if (own.suspendCount > 0) {
      WaitWhileSuspended(own, lock);
      continue;
    }
    auto found = FindPosted(own, filter, min, max);
    if (found != own.posted.end()) {
      const MSG taken = *found;
      own.posted.erase(found);
      if (msg != nullptr) *msg = taken;
      return taken.message == WM_QUIT ? 0 : 1;
    }
    own.wake.wait(lock);
  }
}

LRESULT DispatchMessage(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr) return 0;
  return CallWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

bool WaitMessage(std::uint32_t timeoutMs) {
  const QueuePtr ownQueue = OwnQueue();
  cThreadQueue& own = *ownQueue;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  std::unique_lock<std::mutex> lock(own.mutex);
  // Sends served while the thread sat suspended count as what woke it.
  int served = ServeAllSends(own, lock);
  WaitWhileSuspended(own, lock, &served);
  for (;;) {
    served += ServeAllSends(own, lock);
    if (!own.posted.empty()) return true;
    if (served > 0) return false;
    if (own.wake.wait_until(lock, deadline) == std::cv_status::timeout) {
      ServeAllSends(own, lock);
      return !own.posted.empty();
    }
  }
}

int ServeSends() {
  const QueuePtr ownQueue = OwnQueue();
  cThreadQueue& own = *ownQueue;
  std::unique_lock<std::mutex> lock(own.mutex);
  return ServeAllSends(own, lock);
}

// ---- cooperative suspension ---------------------------------------------

bool RequestSuspend(ThreadId thread) {
  QueuePtr queue = FindQueue(thread);
  if (!queue) return false;
  std::lock_guard<std::mutex> lock(queue->mutex);
  ++queue->suspendCount;
  return true;
}

bool RequestResume(ThreadId thread) {
  QueuePtr queue = FindQueue(thread);
  if (!queue) return false;
  {
    std::lock_guard<std::mutex> lock(queue->mutex);
    if (queue->suspendCount > 0) --queue->suspendCount;
  }
  queue->wake.notify_all();
  return true;
}

void Checkpoint() {
  const QueuePtr ownQueue = OwnQueue();
  cThreadQueue& own = *ownQueue;
  std::unique_lock<std::mutex> lock(own.mutex);
  ServeAllSends(own, lock);
  WaitWhileSuspended(own, lock);
}

void Sleep(std::uint32_t ms) {
  Checkpoint();
  ServeSends();
  SleepRaw(ms);
}

void ResetMessageCoreForTests() {
  std::vector<QueuePtr> queues;
  {
    cRegistry& registry = Registry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    for (auto& entry : registry.threads) queues.push_back(std::move(entry.second));
    registry.threads.clear();
    registry.windows.clear();
    registry.mainThread.store(0);
  }
  for (const QueuePtr& queue : queues) KillQueue(*queue);
  t_Slot.queue.reset();
}

}  // namespace plat
