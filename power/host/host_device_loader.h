// Reference host device loader: fills a HOST_DEVICE from a JSON device
// description (the format is described in docs/device-format.md).
#pragma once

#include <string>

#include "host_device.h"

// Adds the description to device. false on failure, with error set to one
// line naming the file, the place (a JSON path such as blocks[3].parent)
// and what is wrong; the device then holds part of the description and is
// the caller's to drop.
bool host_load_device_file(const std::string& path, HOST_DEVICE& device, std::string& error);
// The same from text held in memory; label stands for the file name in
// error messages.
bool host_load_device_text(const std::string& text, const std::string& label, HOST_DEVICE& device,
                           std::string& error);
