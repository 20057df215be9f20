#pragma once

#include "cardfacets.h"
#include "simobject.h"

namespace cardsim {

// A card as the host sees it: one object per plug-in, so that a host that
// matches removals by pointer never confuses a card with its earlier self.
class ZeltraDevice final : public SimObject<IZeltra>
{
public:
    explicit ZeltraDevice(CardLink link) : m_link(std::move(link)) {}

    int32_t GetModelName(const char **name) override;
    int32_t GetDisplayName(const char **name) override;

    const CardLink &link() const { return m_link; }

private:
    int32_t queryOther(IID iid, void **out) override;

    CardLink m_link;
};

} // namespace cardsim
