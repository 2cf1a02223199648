#pragma once

#include "textencoding.h"

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// Conversion between the file's bytes and the editor's text. Windows-1252 maps
// every byte, the five undefined ones included, so any byte survives a round trip.
QString DecodeText(std::string_view bytes, TextEncoding encoding);

// Fails, naming the first character the encoding cannot hold in `firstBad`,
// instead of writing a replacement.
std::optional<std::string> EncodeText(const QString& text, TextEncoding encoding,
                                      QString* firstBad = nullptr);
