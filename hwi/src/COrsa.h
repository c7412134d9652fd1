#pragma once

// The in-memory image of one keyboard's configuration.

#include "Protocol.h"

#include <array>
#include <cstdint>
#include <string>

class COrsaUtil;

class CKeyboardDefine {
public:
    virtual ~CKeyboardDefine() = default;
    virtual std::u16string getProductId() const = 0;
    virtual std::u16string getVendorId() const = 0;
};

class COrsa : public CKeyboardDefine {
public:
    // `util` is the connection this image talks through; not owned.
    explicit COrsa(COrsaUtil* util);
    ~COrsa() override;

    std::u16string getProductId() const override { return u"5031"; }
    std::u16string getVendorId() const override { return u"0483"; }

    COrsaUtil* util() const { return m_util; }

private:
    COrsaUtil* m_util;
};
