// The set of platform services one program run uses.
#pragma once

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/if_table.h"
#include "platform/locale.h"
#include "platform/messages.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/user_store.h"

namespace trafimo::platform {

struct Platform {
  Registry& registry;
  UserStore& userStore;
  IfTableSource& ifTable;
  Clock& clock;
  Locale& locale;
  Messages& messages;
  Process& process;
  Shell& shell;
  Files& files;
};

}  // namespace trafimo::platform
