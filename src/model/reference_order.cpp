#include "model/reference_order.h"

#include <cstddef>

#include "text/text_helpers.h"

namespace rowsmith {

namespace {

struct Edge {
    std::size_t child;
    std::size_t parent;
    std::size_t reference;
    bool broken = false;
};

class ReferenceSorter {
public:
    ReferenceSorter(const std::vector<std::string>& tables,
                    const std::vector<TableReference>& references)
        : tables_(tables),
          references_(references),
          out_(tables.size()),
          placed_(tables.size(), false),
          listed_(references.size(), false) {
        for (std::size_t r = 0; r < references.size(); ++r) {
            AddReference(r);
        }
    }

    ReferenceOrder Run() {
        while (result_.tables.size() < tables_.size()) {
            const std::size_t ready = FirstReady();
            if (ready < tables_.size()) {
                placed_[ready] = true;
                result_.tables.push_back(tables_[ready]);
            } else {
                BreakCircle();
            }
        }
        return std::move(result_);
    }

private:
    void AddReference(std::size_t r) {
        const TableReference& reference = references_[r];
        if (SameText(reference.child, reference.parent)) {
            // A table refers to its own rows: no order of tables can help, and it moves nothing.
            if (Given(reference.child)) {
                List(r);
            }
            return;
        }
        for (std::size_t child = 0; child < tables_.size(); ++child) {
            if (!SameText(tables_[child], reference.child)) {
                continue;
            }
            for (std::size_t parent = 0; parent < tables_.size(); ++parent) {
                if (SameText(tables_[parent], reference.parent)) {
                    out_[child].push_back(edges_.size());
                    edges_.push_back({.child = child, .parent = parent, .reference = r});
                }
            }
        }
    }

    bool Given(const std::string& table) const {
        for (const std::string& given : tables_) {
            if (SameText(given, table)) {
                return true;
            }
        }
        return false;
    }

    void List(std::size_t r) {
        if (!listed_[r]) {
            listed_[r] = true;
            result_.broken.push_back(references_[r]);
        }
    }

    // The edge of `table` to a parent not yet placed, or edges_.size() when there is none.
    std::size_t Waiting(std::size_t table) const {
        for (std::size_t e : out_[table]) {
            if (!edges_[e].broken && !placed_[edges_[e].parent]) {
                return e;
            }
        }
        return edges_.size();
    }

    std::size_t FirstReady() const {
        for (std::size_t t = 0; t < tables_.size(); ++t) {
            if (!placed_[t] && Waiting(t) == edges_.size()) {
                return t;
            }
        }
        return tables_.size();
    }

    // Every table left waits for a parent, so following waits from any of them must come back
    // to a table already passed: that loop is a circle.
    void BreakCircle() {
        std::size_t table = 0;
        while (placed_[table]) {
            ++table;
        }
        std::vector<std::size_t> path;
        std::vector<std::size_t> step(tables_.size(), tables_.size());
        while (step[table] == tables_.size()) {
            step[table] = path.size();
            const std::size_t e = Waiting(table);
            path.push_back(e);
            table = edges_[e].parent;
        }
        std::size_t chosen = edges_.size();
        for (std::size_t i = step[table]; i < path.size(); ++i) {
            if (Better(path[i], chosen)) {
                chosen = path[i];
            }
        }
        edges_[chosen].broken = true;
        List(edges_[chosen].reference);
    }

    bool Better(std::size_t e, std::size_t than) const {
        if (than == edges_.size()) {
            return true;
        }
        const bool nullable = references_[edges_[e].reference].nullable;
        const bool thanNullable = references_[edges_[than].reference].nullable;
        if (nullable != thanNullable) {
            return nullable;
        }
        return edges_[e].child < edges_[than].child;
    }

    const std::vector<std::string>& tables_;
    const std::vector<TableReference>& references_;
    std::vector<Edge> edges_;
    std::vector<std::vector<std::size_t>> out_;
    std::vector<bool> placed_;
    std::vector<bool> listed_;
    ReferenceOrder result_;
};

}  // namespace

ReferenceOrder OrderByReferences(const std::vector<std::string>& tables,
                                 const std::vector<TableReference>& references) {
    return ReferenceSorter(tables, references).Run();
}

}  // namespace rowsmith
