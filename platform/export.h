// Marks the functions that a module exports to its host.
#pragma once

#define KELVO_EXPORT extern "C" __attribute__((visibility("default")))
