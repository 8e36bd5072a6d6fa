// SPDX-License-Identifier: MIT
// The exception class tree. Every failure of the program ends up as one of
// these objects; the report prints its ClassName() and its Message.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "foundation/faults.h"

namespace rterrors {

// A code address: where an exception was raised or a fault happened.
using TCodeAddress = std::uintptr_t;

class TObject {
  public:
    virtual ~TObject() = default;
    virtual const char* ClassName() const { return "TObject"; }
};

class Exception : public TObject {
  public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* ClassName() const override { return "Exception"; }

    std::string Message;
};

// Classes that add nothing but their name.
#define RTERRORS_EXCEPTION_CLASS(Name, Parent)                                                     \
    class Name : public Parent {                                                                   \
      public:                                                                                      \
        using Parent::Parent;                                                                      \
        const char* ClassName() const override { return #Name; }                                   \
    }

class EHeapException : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "EHeapException"; }

    std::uint8_t AllowRelease = 0; // ReleaseObject leaves the object alone while 0
};

RTERRORS_EXCEPTION_CLASS(EOutOfMemory, EHeapException);
RTERRORS_EXCEPTION_CLASS(EInvalidPointer, EHeapException);

class EInOutError : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "EInOutError"; }

    std::int32_t InOutCode = 0;
};

class EExternal : public Exception {
  public:
    using Exception::Exception;
    const char* ClassName() const override { return "EExternal"; }

    const foundation::TFaultRecord* FaultRecord = nullptr; // not owned
};

RTERRORS_EXCEPTION_CLASS(EExternalException, EExternal);
RTERRORS_EXCEPTION_CLASS(EIntError, EExternal);
RTERRORS_EXCEPTION_CLASS(EDivByZero, EIntError);
RTERRORS_EXCEPTION_CLASS(ERangeError, EIntError);
RTERRORS_EXCEPTION_CLASS(EIntOverflow, EIntError);
RTERRORS_EXCEPTION_CLASS(EMathError, EExternal);
RTERRORS_EXCEPTION_CLASS(EInvalidOp, EMathError);
RTERRORS_EXCEPTION_CLASS(EZeroDivide, EMathError);
RTERRORS_EXCEPTION_CLASS(EOverflow, EMathError);
RTERRORS_EXCEPTION_CLASS(EUnderflow, EMathError);
RTERRORS_EXCEPTION_CLASS(EAccessViolation, EExternal);
RTERRORS_EXCEPTION_CLASS(EPrivilege, EExternal);
RTERRORS_EXCEPTION_CLASS(EStackOverflow, EExternal);
RTERRORS_EXCEPTION_CLASS(EControlC, EExternal);
RTERRORS_EXCEPTION_CLASS(EInvalidCast, Exception);
RTERRORS_EXCEPTION_CLASS(EConvertError, Exception);
RTERRORS_EXCEPTION_CLASS(EVariantError, Exception);
RTERRORS_EXCEPTION_CLASS(EAssertionFailed, Exception);
RTERRORS_EXCEPTION_CLASS(EAbstractError, Exception);
RTERRORS_EXCEPTION_CLASS(EIntfCastError, Exception);
RTERRORS_EXCEPTION_CLASS(ESafecallException, Exception);

#undef RTERRORS_EXCEPTION_CLASS

// A class reference: makes a new object of one class with a message.
using TExceptClass = Exception* (*)(std::string message);

template <class TClass> Exception* CreateException(std::string message) {
    return new TClass(std::move(message));
}

// Releases an object the exception machinery owns. A preallocated heap
// exception survives until its AllowRelease is set.
void ReleaseObject(TObject* object);

} // namespace rterrors
