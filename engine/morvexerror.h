#pragma once

#include "exception.h"

// Raised by the engine's own checks, with a text of the message table.
class EMorvexError : public Exception
{
public:
    using Exception::Exception;
};
