#pragma once

#include <QString>

#include <functional>

// mdbtools trusts the pages it reads, and a damaged page can crash it. So
// whatever is read from a file is read once in a child process first: `read`
// runs there, and only when it ran to its end (its own exceptions included,
// which the real read raises again) does the caller go on. A child that
// crashes or does not finish in a time that the file's size justifies
// raises EADOError naming the file as damaged.
void MdbTrialRead(const QString &fileName, const std::function<void()> &read);
