// Reference host settings store: the named settings the library reads, set
// from text (the CLI's --set name=value) and read through cfg.h.
#pragma once

#include <climits>

#include <string>
#include <vector>

#include "host/cfg.h"

enum class HOST_SETTING_KIND { BOOL, INT };

struct HOST_SETTING_INFO {
    const char* name;
    HOST_SETTING_KIND kind;
    int least = INT_MIN;   // the range an integer setting accepts
    int most = INT_MAX;
};

// Every setting the store knows, in a fixed order (for help texts).
const std::vector<HOST_SETTING_INFO>& host_known_settings();

// Sets a known setting from text: bools take on/off/true/false/1/0 (any
// case), ints a decimal number. An unknown name or a bad value leaves the
// store unchanged and answers false, with the reason in *error when given.
bool host_set_setting(const std::string& name, const std::string& value, std::string* error = nullptr);
// Forgets every value set; readers get their defaults again.
void host_clear_settings();
