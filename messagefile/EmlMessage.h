#pragma once

#include "messagefile/MessageText.h"

class QByteArray;

// Reads the subject and body of a saved e-mail (Internet Message Format, ".eml"): the first text/plain
// part, or the first HTML part as a reader sees it when there is no plain part or the plain part is blank,
// with transfer encoding and character set undone. Reads a message held in memory; the callers read files
// with their own checks and limits. Never throws: a malformed message comes back with `error` set.
MessageText readEmlMessage(const QByteArray& bytes);
