// Keeps the game to one running copy through a named event.
#pragma once

#include "platform/platform.h"

// Creates (or opens) the event named name, manual reset and signalled. Its
// existence marks a running copy; it is never waited on. The handle is closed
// when the guard ends, so the first copy must keep its guard for as long as
// the engine runs.
class SingleInstanceGuard {
 public:
  explicit SingleInstanceGuard(const char* name);
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;
  ~SingleInstanceGuard();

  // False when the event existed already, or could not be created at all:
  // either way another copy is taken to be running.
  bool IsFirstInstance() const { return firstInstance_; }

 private:
  platform::Handle event_ = nullptr;
  bool firstInstance_ = false;
};

// Brings the running copy's window (class className, title title) to the
// front, if there is one.
void BringRunningCopyToFront(const char* className, const char* title);
