#pragma once

#include "address/AddressNumbers.h"

#include <QStringView>

// The numbers an address gives after its town, folded: "6-10-1", "6丁目10番1号", "123番地",
// "2794-12", "字椿原1112-5", and the floor it names ("12階", "12F").
struct TypedNumbers {
    int first = AddressNumbers::kNone;
    AddressNumbers::Unit firstUnit = AddressNumbers::Unit::None;
    int second = AddressNumbers::kNone;
    int third = AddressNumbers::kNone;
    int floor = AddressNumbers::kNone;

    static TypedNumbers read(QStringView rest);
};
