#pragma once

#include <string>

#include "host/core/Configurable.h"
#include "host/core/Parameter.h"
#include "host/core/Signal.h"
#include "host/image/Data.h"

namespace Korvanta {

class Progress;

// An operation over data that the host creates through a factory, configures and runs.
class Algorithm : public Configurable {
public:
    // Status values: compute sets Failed on entry and Success when it completes.
    enum Status { NotComputed = -1, Success = 0, Failed = 1 };

    // Where the algorithm came from: the full id, the short display name and the data it was made for.
    struct FactoryInfo {
        std::string id;
        std::string name;
        DataList data;
    };

    virtual void compute() = 0;
    // Hands the results to the caller; the algorithm keeps none of them.
    virtual OwningDataList takeOutput() = 0;
    virtual void setProgress(Progress* progress) { m_progress = progress; }
    virtual int status() const { return m_status; }
    // Whether the algorithm stays usable when the given data is deleted: not when it was made for it.
    virtual bool survivesDataDeletion(const Data* data) const;

    Progress* progress() const { return m_progress; }
    const FactoryInfo& factoryInfo() const { return m_factoryInfo; }
    void setFactoryInfo(FactoryInfo info) { m_factoryInfo = std::move(info); }

    // Fired after configure has let the parameters read their values.
    SignalImpl<false> signalParametersChanged;
    // Fired when compute has finished.
    SignalImpl<false> signalOutputChanged;

protected:
    void setStatus(int status) { m_status = status; }

private:
    Progress* m_progress = nullptr;
    int m_status = NotComputed;
    FactoryInfo m_factoryInfo;
};

// An algorithm that reads or writes files; it takes global settings when created.
class IoAlgorithm : public Algorithm {
public:
    ~IoAlgorithm() override;
    virtual void configureFromGlobalSettings() {}
};

}  // namespace Korvanta
