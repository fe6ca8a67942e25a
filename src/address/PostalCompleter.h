#pragma once

#include "address/PostalLoadResult.h"
#include "core/AddressCompleter.h"

#include <functional>

// The address search (F4), answering from the postal-code directory:
// - A postal code given (in any typed form): it wins. The code is rewritten "NNN-NNNN" and the address
//   becomes the directory's address for it; an address that already begins with that address is kept
//   as typed, with its block number. A business code also fills an empty company with its name.
// - No postal code but an address: the code is filled from the town, and the chome, block, building
//   floor or Kyoto street the address gives (AddressMatcher); the address stays as typed. Where that
//   is only the city's code for towns not listed, CompletionNote::CityCodeOnly says so.
// - Several answers: each is a choice, labelled with Japan Post's note of each town, or for a code its
//   towns with their readings.
class PostalCompleter : public AddressCompleter {
public:
    // data gives the loaded directory, or null when it could not be loaded; it may block on the first
    // call while loading finishes.
    explicit PostalCompleter(std::function<const PostalLoadResult *()> data);

    Completion complete(const AddressRecord &record) override;

private:
    static Completion fromCode(const PostalDirectory &directory, quint32 code, const AddressRecord &record);
    static Completion fromAddress(const PostalDirectory &directory, const AddressRecord &record);

    std::function<const PostalLoadResult *()> m_data;
};
