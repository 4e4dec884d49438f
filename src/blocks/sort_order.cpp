// The selection sort's order without its n(n-1)/2 questions.
//
// Lines with different keys end in key order, so only the order inside each class of
// equal keys needs working out. For a class K, the lines with greater keys never change
// how the lines with keys up to K move relative to each other, and lines with smaller
// keys ("smaller lines") matter only by where they stand. Following row i of the
// selection sort:
// - When equal keys exchange, a K line at row i passes to the next row and every K line
//   behind it moves up one, until a smaller line is met; so the K lines keep their order
//   while smaller lines pass them, and once no smaller line is left, each row takes the
//   last of them: the class ends reversed.
// - When equal keys do not exchange, a K line at row i jumps over the K lines behind it
//   to the first smaller line; so the run of K lines behaves as a queue that sends its
//   front to the back for every smaller line that follows it, and K lines met further
//   down join the back of the queue. The queue at the end is the class's order.
#include "blocks/sort_order.h"

#include <algorithm>
#include <deque>

namespace {

// Counts marked positions in a range, each question and mark in O(log n).
class PositionCounter {
public:
    explicit PositionCounter(int n) : tree_(static_cast<size_t>(n) + 1, 0) {}
    void mark(int pos) {
        for (size_t k = static_cast<size_t>(pos) + 1; k < tree_.size(); k += k & (~k + 1)) ++tree_[k];
    }
    // Marked positions in [from, to).
    int countIn(int from, int to) const { return to <= from ? 0 : before(to) - before(from); }

private:
    int before(int pos) const {
        int count = 0;
        for (size_t k = static_cast<size_t>(pos); k > 0; k -= k & (~k + 1)) count += tree_[k];
        return count;
    }
    std::vector<int> tree_;
};

// The order of one class whose equal keys do not exchange. `members` are its lines in
// their first order; `smaller` marks the lines with smaller keys.
std::vector<int> queueOrder(const std::vector<int>& members, const PositionCounter& smaller, int n) {
    std::deque<int> queue;
    for (size_t t = 0; t < members.size(); ++t) {
        queue.push_back(members[t]);
        const int next = t + 1 < members.size() ? members[t + 1] : n;
        // Every whole turn of the queue leaves it as it was.
        const size_t turns = static_cast<size_t>(smaller.countIn(members[t] + 1, next)) % queue.size();
        for (size_t k = 0; k < turns; ++k) {
            queue.push_back(queue.front());
            queue.pop_front();
        }
    }
    return std::vector<int>(queue.begin(), queue.end());
}

}  // namespace

std::vector<int> exchangeSortOrder(int n, const std::function<bool(int, int)>& goesBefore,
                                   const std::function<bool(int)>& equalsExchange) {
    std::vector<int> order(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) order[static_cast<size_t>(k)] = k;
    // Stable: each class comes out in its first order.
    std::stable_sort(order.begin(), order.end(), goesBefore);
    PositionCounter smaller(n);
    for (size_t first = 0; first < order.size();) {
        size_t end = first + 1;
        while (end < order.size() && !goesBefore(order[end - 1], order[end])) ++end;
        const std::vector<int> members(order.begin() + static_cast<long>(first), order.begin() + static_cast<long>(end));
        if (members.size() > 1) {
            if (equalsExchange(members.front()))
                std::reverse(order.begin() + static_cast<long>(first), order.begin() + static_cast<long>(end));
            else
                std::copy_n(queueOrder(members, smaller, n).begin(), members.size(), order.begin() + static_cast<long>(first));
        }
        for (int member : members) smaller.mark(member);
        first = end;
    }
    return order;
}
