#pragma once

#include <QString>
#include <string_view>

namespace lumaquill {

// The engine's progress captions in the user's words: "Mangling Password.
// (320000 of 1000000 passes)" reads "Strengthening the password: 32% …".
// A caption it does not know is shown as given.
class ProgressCaption {
public:
    static QString ForUser(std::string_view engineText);
};

} // namespace lumaquill
