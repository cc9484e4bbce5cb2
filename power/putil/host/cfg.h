// Host settings store: named settings with a default for unset names.
#pragma once

bool cfg_is_on(const char* name, bool default_value);
int cfg_get_int_value(const char* name, int default_value);
