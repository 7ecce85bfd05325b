// The entry point the host calls on its GUI thread.
#pragma once

extern "C" int plugin_exec();
