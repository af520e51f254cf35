#pragma once

namespace lumaquill {

// Where a command takes its key from.
enum class KeySource {
    Prompt, // no key option: asked on the terminal
    Password, // --password PW
    PasswordStdin, // --password-stdin: the first line of standard input
    Quiz, // encode --quiz QUESTION HINT ANSWER, up to five times
    Answers, // decode --answer ANSWER, once per stored question
};

} // namespace lumaquill
