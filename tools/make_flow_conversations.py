#!/usr/bin/env python3
"""Writes conversations for weighing the flow map's lines (see check_flow_map.py).

Usage: tools/make_flow_conversations.py [--cli PATH] FOLDER

Writes FOLDER/NAME.dlg for a fixed set of generated stories of 20 to 300 dialogs, the same on
every run: stories with nested choices, gotos back to a choice from deep in its branches,
gotos between sibling branches, gotos back within a branch, endings and actions, in several
mixtures; and a few that are hard on purpose (gotos to anywhere, one hub that everything
returns to, wide choices, deep nesting). Each is written as a listing and packed with
talmero-cli.
"""

import argparse
import os
import random
import subprocess
import sys


class Dialog:
    def __init__(self, choice=False):
        self.choice = choice
        self.answers = []  # per answer: the dialogs under it
        self.goto = None
        self.actions = []
        self.number = 0


def all_dialogs(top):
    """The dialogs in the order of the file (pre-order), numbered so."""
    order = []
    stack = list(reversed(top))
    while stack:
        dialog = stack.pop()
        order.append(dialog)
        for branch in reversed(dialog.answers):
            stack.extend(reversed(branch))
    for number, dialog in enumerate(order, 1):
        dialog.number = number
    return order


def listing(top, rng):
    all_dialogs(top)
    lines = ["Root"]
    # Work to do, last first: a dialog at a depth, or an answer's heading.
    stack = [(dialog, 0) for dialog in reversed(top)]
    while stack:
        item, depth = stack.pop()
        pad = "  " * depth
        if isinstance(item, int):
            lines.append(pad + "Choice = %d" % item)
            lines.append(pad + "  Text = Answer %d" % item)
            continue
        lines.append("%sDialog%d" % (pad, item.number))
        if item.choice:
            for index in reversed(range(len(item.answers))):
                stack.extend((dialog, depth + 2) for dialog in reversed(item.answers[index]))
                stack.append((index + 1, depth + 1))
            continue
        lines.append(pad + "  Type = Text")
        lines.append(pad + "  Speaker = " + rng.choice(["Player", "Entity"]))
        lines.append(pad + "  Text = Line %d of the story" % item.number)
        lines.extend(pad + "  " + action for action in item.actions)
        if item.goto is not None:
            lines.append(pad + "  Goto = %d" % item.goto.number)
    return "\n".join(lines) + "\n"


class Story:
    """A story grown from a budget of dialogs, with the places gotos may come from."""

    def __init__(self, rng, depth_limit=4, choice_chance=0.22, answers=(2, 2, 3, 3, 4),
                 branch_end=0.25):
        self.rng = rng
        self.depth_limit = depth_limit
        self.choice_chance = choice_chance
        self.answers = answers
        self.branch_end = branch_end
        self.texts = []  # (dialog, the choices around it, its branch)
        self.choices = []  # (choice, the choices around it)

    def branch(self, budget, enclosing):
        """A branch of at most budget dialogs (at least one); work kept on a stack."""
        items = []
        used = 0
        while used < budget:
            depth = len(enclosing)
            if (depth < self.depth_limit and budget - used > 4 and
                    self.rng.random() < self.choice_chance):
                choice = Dialog(choice=True)
                self.choices.append((choice, enclosing))
                used += 1
                count = self.rng.choice(self.answers)
                for _ in range(count):
                    share = self.rng.randint(0, max(0, (budget - used) // count))
                    sub, sub_used = self.branch(share, enclosing + [choice]) if share else ([], 0)
                    used += sub_used
                    choice.answers.append(sub)
                items.append(choice)
            else:
                text = Dialog()
                self.texts.append((text, enclosing, items))
                items.append(text)
                used += 1
            if depth > 0 and self.rng.random() < self.branch_end:
                break
        return items, used

    def grow(self, size):
        top = []
        while len(all_dialogs(top)) < size:
            part, _ = self.branch(size - len(all_dialogs(top)), [])
            top += part
        return top


def siblings_of(text, choice):
    return [d for branch in choice.answers if text not in branch for d in branch]


def add_actions(story, chance):
    for text, _, _ in story.texts:
        if story.rng.random() < chance:
            text.actions.append(story.rng.choice(
                ["Set int gold = 3", "Call = OpenDoor", "Set string name = Tom",
                 "Delete = 1 from %d" % 1]))


def story_gotos(story, top, chance, mix):
    """Gotos from text dialogs by a mixture of kinds: back to the choice a dialog stands
    under, to a choice further out, to a sibling branch, back within the branch, or to
    anywhere in the story."""
    everything = all_dialogs(top)
    kinds = list(mix)
    weights = [mix[k] for k in kinds]
    for text, enclosing, branch in story.texts:
        if story.rng.random() >= chance:
            continue
        kind = story.rng.choices(kinds, weights)[0]
        target = None
        if kind == "choice" and enclosing:
            target = enclosing[-1]
        elif kind == "outer" and enclosing:
            target = story.rng.choice(enclosing)
        elif kind == "sibling" and enclosing:
            siblings = siblings_of(text, enclosing[-1])
            target = story.rng.choice(siblings) if siblings else None
        elif kind == "back" and branch.index(text) > 0:
            target = branch[story.rng.randrange(branch.index(text))]
        elif kind == "far":
            target = story.rng.choice(everything)
        elif kind == "top":
            target = story.rng.choice(top)
        if target is not text:
            text.goto = target


def realistic(size, seed, chance=0.12, mix=None, **shape):
    rng = random.Random(seed)
    story = Story(rng, **shape)
    top = story.grow(size)
    story_gotos(story, top, chance, mix or
                {"choice": 4, "outer": 1, "sibling": 2, "back": 1, "top": 1})
    add_actions(story, 0.08)
    return top, rng


def hub(size, seed):
    """Everything returns to one choice near the top, from every depth."""
    rng = random.Random(seed)
    story = Story(rng)
    top = story.grow(size)
    choices = [c for c, enclosing in story.choices if not enclosing]
    centre = choices[0] if choices else top[0]
    for text, enclosing, branch in story.texts:
        if enclosing and branch[-1] is text and rng.random() < 0.6:
            text.goto = centre
    return top, rng


def loop21():
    """A small conversation that loops back to its first choice from deep in its branches and
    jumps between sibling branches."""
    def texts(count):
        return [Dialog() for _ in range(count)]
    first = Dialog(choice=True)
    deep = Dialog(choice=True)
    ask = texts(2) + [deep]
    go_on, go_back = texts(2), texts(1)
    deep.answers = [go_on, go_back, []]
    go_on[-1].goto = first
    go_back[-1].goto = ask[0]
    wait = texts(3)
    wait[1].goto = ask[1]
    run = texts(2)
    first.answers = [ask, wait, run, []]
    later = Dialog(choice=True)
    no = texts(2)
    no[-1].goto = first
    later.answers = [texts(1), no]
    top = texts(2) + [first] + texts(2) + [later] + texts(1)
    return top, random.Random(21)


def conversations():
    """Name and maker of each conversation."""
    yield "loop21", loop21
    for seed, size in enumerate([20, 24, 30, 36, 45, 52, 60, 75, 89, 100, 120, 135, 135, 135,
                                 150, 170, 200, 240, 300], 1):
        yield "story%d_%d" % (size, seed), lambda size=size, seed=seed: realistic(size, seed)
    for seed, size in enumerate([40, 80, 135, 200], 101):
        yield "loops%d_%d" % (size, seed), lambda size=size, seed=seed: realistic(
            size, seed, chance=0.18, mix={"choice": 3, "outer": 3}, depth_limit=5)
        yield "siblings%d_%d" % (size, seed), lambda size=size, seed=seed: realistic(
            size, seed, chance=0.18, mix={"sibling": 4, "choice": 1})
        yield "wide%d_%d" % (size, seed), lambda size=size, seed=seed: realistic(
            size, seed, answers=(4, 5, 6), choice_chance=0.15)
        yield "deep%d_%d" % (size, seed), lambda size=size, seed=seed: realistic(
            size, seed, depth_limit=8, branch_end=0.12, choice_chance=0.3)
        yield "hub%d_%d" % (size, seed), lambda size=size, seed=seed: hub(size, seed)
    for seed, size in enumerate([60, 135, 250], 201):
        yield "far%d_%d" % (size, seed), lambda size=size, seed=seed: realistic(
            size, seed, chance=0.15, mix={"far": 1})


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", default="build/talmero/talmero-cli")
    parser.add_argument("folder")
    arguments = parser.parse_args()
    os.makedirs(arguments.folder, exist_ok=True)
    for name, make in conversations():
        top, rng = make()
        text = listing(top, rng)
        source = os.path.join(arguments.folder, name + ".txt")
        with open(source, "w") as out:
            out.write(text)
        subprocess.run([arguments.cli, "pack", source, os.path.join(arguments.folder,
                                                                      name + ".dlg")],
                       check=True)
        os.remove(source)
    return 0


if __name__ == "__main__":
    sys.exit(main())
