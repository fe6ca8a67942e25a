#pragma once

#include "address/CandidateChooser.h"
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
// - Several answers: the chooser asks, showing Japan Post's note of each town, or for a code its towns
//   with their readings.
// - Nothing found, a code that is not seven digits, or the chooser cancelled: the address is emptied
//   and nothing else changes, which the window takes as "not found" and leaves its grid untouched.
class PostalCompleter : public AddressCompleter {
public:
    // data gives the loaded directory; it may block on the first call while loading finishes.
    PostalCompleter(std::function<const PostalLoadResult &()> data, CandidateChooser &chooser);

    CompletionNote complete(AddressRecord &record) override;

private:
    void fromCode(const PostalDirectory &directory, quint32 code, AddressRecord &record);
    CompletionNote fromAddress(const PostalDirectory &directory, AddressRecord &record);
    // Index of the chosen candidate, -1 when cancelled.
    int pick(const QStringList &candidates);

    std::function<const PostalLoadResult &()> m_data;
    CandidateChooser &m_chooser;
};
