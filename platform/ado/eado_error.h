#pragma once

#include "exception.h"

// Raised by the Access reader: a database that cannot be opened, a table
// that does not exist, a statement the reader cannot run.
class EADOError : public Exception
{
public:
    using Exception::Exception;
};
