#pragma once

#include "CandidateChooser.h"
#include "PostalLoadResult.h"
#include "lookup/AddressComponent.h"

#include <functional>

// The address component of the address search (F4), answering from the postal-code directory.
//
// PutAdd(PostCode, Address, Company, mode):
// - A postal code given (in any typed form): it wins. PostCode is rewritten "NNN-NNNN" and Address
//   becomes the directory's address for it; an Address that already begins with that address is kept
//   as typed, with its block number. A business code also fills an empty Company with its name.
// - No postal code but an address: PostCode is filled from the longest town the address begins with;
//   Address stays as typed.
// - Several answers: with mode 1 (interactive) the chooser asks; otherwise the first is taken.
// - Nothing found, a code that is not seven digits, or the chooser cancelled: Address is emptied and
//   nothing else changes, which the window takes as "not found" and leaves its grid untouched.
class PostalAddressComponent : public AddressComponent {
public:
    // data gives the loaded directory; it may block on the first call while loading finishes.
    PostalAddressComponent(std::function<const PostalLoadResult &()> data, CandidateChooser &chooser);

    void PutAdd(QString &PostCode, QString &Address, QString &Company, int mode) override;

private:
    void fromCode(const PostalDirectory &directory, quint32 code, QString &PostCode, QString &Address,
                  QString &Company, int mode);
    void fromAddress(const PostalDirectory &directory, QString &PostCode, QString &Address, int mode);
    // Index of the chosen candidate, -1 when cancelled.
    int pick(const QStringList &candidates, int mode);

    std::function<const PostalLoadResult &()> m_data;
    CandidateChooser &m_chooser;
};
