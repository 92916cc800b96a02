#!/usr/bin/env python3
"""Writes a BPMN 2.0 file of about N flow nodes for the benchmarks.

Pools with three lanes each, every task kind, all gateway kinds with conditional and default
flows, timer and message events, boundary events, an embedded sub-process every 50 nodes,
message flows between pools, data objects, annotations, and full diagram interchange. The
output is the same for the same N.

usage: generate.py NODES OUTPUT
"""

import sys
from xml.sax.saxutils import quoteattr

TASK_KINDS = ["task", "userTask", "serviceTask", "sendTask", "receiveTask", "manualTask", "scriptTask",
              "businessRuleTask", "callActivity"]
SIZES = {"event": (36, 36), "gateway": (50, 50), "activity": (100, 80), "sub": (420, 200)}
LANE_HEIGHT = 260
STEP = 150


class Process:
    """One pool's process, built as a chain of blocks from a start event to an end event."""

    def __init__(self, doc, index):
        self.doc = doc
        self.index = index
        self.id = f"Process_{index}"
        self.pool_id = f"Pool_{index}"
        self.lane_ids = [f"Lane_{index}_{k}" for k in range(3)]
        self.top = index * (3 * LANE_HEIGHT + 80)
        self.nodes = []      # (xml, id, size kind, lane, x, y) in process order
        self.flows = []      # (id, source, target, condition)
        self.artifacts = []  # xml of data objects, annotations, associations
        self.shapes = []     # (id, x, y, w, h, extra attributes)
        self.column = 0
        self.sends = []
        self.receives = []

    # -- building -----------------------------------------------------------------------------
    def place(self, lane, kind, column=None):
        w, h = SIZES[kind]
        col = self.column if column is None else column
        x = 200 + col * STEP
        y = self.top + lane * LANE_HEIGHT + (LANE_HEIGHT - h) // 2
        return x, y, w, h

    def node(self, tag, kind, lane, body="", attrs="", name=None, column=None):
        node_id = self.doc.next_id(tag)
        label = name if name is not None else f"{tag} {node_id}"
        x, y, w, h = self.place(lane, kind, column)
        xml = f'<{tag} id="{node_id}" name={quoteattr(label)}{attrs}>{body}</{tag}>'
        self.nodes.append((xml, node_id, lane))
        self.shapes.append((node_id, x, y, w, h, ""))
        self.doc.count += 1
        return node_id

    def flow(self, source, target, condition=None, flow_id=None):
        flow_id = flow_id or self.doc.next_id("Flow")
        self.flows.append((flow_id, source, target, condition))
        return flow_id

    def task(self, lane, kind_index):
        tag = TASK_KINDS[kind_index % len(TASK_KINDS)]
        attrs = ""
        if tag in ("sendTask", "receiveTask"):
            attrs = f' messageRef="{self.doc.message()}"'
        if tag == "callActivity":
            attrs = ' calledElement="Billing"'
        if tag == "serviceTask":
            attrs = ' implementation="##WebService"'
        node_id = self.node(tag, "activity", lane, attrs=attrs)
        (self.sends if tag == "sendTask" else self.receives if tag == "receiveTask" else []).append(node_id)
        self.column += 1
        return node_id, node_id

    def split_join(self, split_tag, join_tag, lane, conditional, body=""):
        default_id = self.doc.next_id("Flow")
        default_attr = f' default="{default_id}"' if conditional else ""
        split = self.node(split_tag, "gateway", lane, body=body, attrs=default_attr)
        self.column += 1
        upper = self.node("task", "activity", lane, column=self.column)
        lower = self.node("userTask", "activity", (lane + 1) % 3, column=self.column)
        self.column += 1
        join = self.node(join_tag, "gateway", lane)
        self.column += 1
        self.flow(split, upper, "${amount > 100}" if conditional else None)
        self.flow(split, lower, None, flow_id=default_id if conditional else None)
        self.flow(upper, join)
        self.flow(lower, join)
        return split, join

    def event_based(self, lane):
        gateway = self.node("eventBasedGateway", "gateway", lane)
        self.column += 1
        timer = self.node("intermediateCatchEvent", "event", lane, column=self.column,
                          body="<timerEventDefinition><timeDuration>PT1H</timeDuration></timerEventDefinition>")
        message = self.node("intermediateCatchEvent", "event", (lane + 1) % 3, column=self.column,
                            body=f'<messageEventDefinition messageRef="{self.doc.message()}"/>')
        self.column += 1
        join = self.node("exclusiveGateway", "gateway", lane)
        self.column += 1
        for event in (timer, message):
            self.flow(gateway, event)
            self.flow(event, join)
        return gateway, join

    def events(self, lane):
        timer = self.node("intermediateCatchEvent", "event", lane,
                          body="<timerEventDefinition><timeDate>2026-12-24T10:00:00Z</timeDate></timerEventDefinition>")
        self.column += 1
        throw = self.node("intermediateThrowEvent", "event", lane,
                          body=f'<messageEventDefinition messageRef="{self.doc.message()}"/>')
        self.column += 1
        self.flow(timer, throw)
        return timer, throw

    def boundary(self, lane):
        task_id = self.node("serviceTask", "activity", lane)
        x, y, _, _ = self.place(lane, "activity")
        boundary_id = self.doc.next_id("Boundary")
        self.nodes.append((f'<boundaryEvent id="{boundary_id}" name="Too late" attachedToRef="{task_id}" '
                           f'cancelActivity="false"><timerEventDefinition><timeDuration>P1D</timeDuration>'
                           f'</timerEventDefinition></boundaryEvent>', boundary_id, lane))
        self.shapes.append((boundary_id, x + 60, y + 62, 36, 36, ""))
        self.doc.count += 1
        self.column += 1
        handler = self.node("manualTask", "activity", (lane + 1) % 3, column=self.column)
        end = self.node("endEvent", "event", (lane + 1) % 3, column=self.column + 1)
        self.flow(boundary_id, handler)
        self.flow(handler, end)
        return task_id, task_id

    def sub_process(self, lane):
        sub_id = self.doc.next_id("SubProcess")
        x, y, _, _ = self.place(lane, "activity")
        w, h = SIZES["sub"]
        inner_ids = [self.doc.next_id(kind) for kind in ("Start", "Task", "End")]
        flows = [self.doc.next_id("Flow"), self.doc.next_id("Flow")]
        body = (f'<startEvent id="{inner_ids[0]}" name="Begin"><outgoing>{flows[0]}</outgoing></startEvent>'
                f'<task id="{inner_ids[1]}" name="Inner work"><incoming>{flows[0]}</incoming>'
                f'<outgoing>{flows[1]}</outgoing></task>'
                f'<endEvent id="{inner_ids[2]}" name="Done"><incoming>{flows[1]}</incoming></endEvent>'
                f'<sequenceFlow id="{flows[0]}" sourceRef="{inner_ids[0]}" targetRef="{inner_ids[1]}"/>'
                f'<sequenceFlow id="{flows[1]}" sourceRef="{inner_ids[1]}" targetRef="{inner_ids[2]}"/>')
        self.nodes.append((f'<subProcess id="{sub_id}" name="Sub-process {sub_id}">{body}</subProcess>', sub_id, lane))
        top = y - 60
        self.shapes.append((sub_id, x, top, w, h, ' isExpanded="true"'))
        for k, inner in enumerate(inner_ids):
            size = SIZES["activity" if k == 1 else "event"]
            self.shapes.append((inner, x + 40 + k * 130, top + 60, size[0], size[1], ""))
        for flow_id, (a, b) in zip(flows, [(inner_ids[0], inner_ids[1]), (inner_ids[1], inner_ids[2])]):
            self.doc.edges.append((flow_id, a, b))
        self.doc.count += 4
        self.column += 3
        return sub_id, sub_id

    def data(self, lane, task_id):
        object_id = self.doc.next_id("DataObject")
        reference_id = self.doc.next_id("DataRef")
        association_id = self.doc.next_id("DataAssoc")
        note_id = self.doc.next_id("Note")
        link_id = self.doc.next_id("Association")
        x, y, _, _ = self.place(lane, "activity", self.column - 1)
        self.artifacts.append(f'<dataObject id="{object_id}" name="Order"/>'
                              f'<dataObjectReference id="{reference_id}" name="Order" dataObjectRef="{object_id}">'
                              f'<dataState name="checked"/></dataObjectReference>'
                              f'<textAnnotation id="{note_id}"><text>Checked by the clerk</text></textAnnotation>'
                              f'<association id="{link_id}" sourceRef="{task_id}" targetRef="{note_id}"/>')
        self.shapes.append((reference_id, x, y - 90, 36, 50, ""))
        self.shapes.append((note_id, x + 60, y - 100, 100, 40, ""))
        self.doc.edges.append((link_id, task_id, note_id))
        self.doc.data_inputs.setdefault(task_id, []).append((association_id, reference_id))
        self.doc.edges.append((association_id, reference_id, task_id))

    def build(self, quota):
        start = self.node("startEvent", "event", 0, body="<timerEventDefinition><timeCycle>R/P1D</timeCycle>"
                                                         "</timerEventDefinition>" if self.index % 2 else "")
        self.column += 1
        previous = start
        block = 0
        built = 1
        next_sub = self.doc.count + 50
        while built < quota - 1:
            lane = block % 3
            before = self.doc.count
            if self.doc.count >= next_sub:
                entry, exit_ = self.sub_process(lane)
                next_sub += 50
            else:
                choice = block % 8
                if choice == 0:
                    entry, exit_ = self.split_join("exclusiveGateway", "exclusiveGateway", lane, True)
                elif choice == 1:
                    entry, exit_ = self.split_join("inclusiveGateway", "inclusiveGateway", lane, True)
                elif choice == 2:
                    entry, exit_ = self.split_join("parallelGateway", "parallelGateway", lane, False)
                elif choice == 3:
                    entry, exit_ = self.split_join("complexGateway", "exclusiveGateway", lane, True,
                                                   body="<activationCondition>${count >= 1}</activationCondition>")
                elif choice == 4:
                    entry, exit_ = self.event_based(lane)
                elif choice == 5:
                    entry, exit_ = self.events(lane)
                elif choice == 6:
                    entry, exit_ = self.boundary(lane)
                else:
                    entry, exit_ = self.task(lane, block // 8)
                    for extra in range(1, 4):
                        self.flow(exit_, self.task(lane, block // 8 + extra)[0])
                        exit_ = self.nodes[-1][1]
                    if block % 16 == 7:
                        self.data(lane, exit_)
            self.flow(previous, entry)
            previous = exit_
            built += self.doc.count - before
            block += 1
        end = self.node("endEvent", "event", 0, body="<terminateEventDefinition/>" if self.index % 2 else "")
        self.flow(previous, end)

    # -- writing ------------------------------------------------------------------------------
    def write_semantic(self, out):
        out.write(f'<process id="{self.id}" name="Process {self.index}" isExecutable="false">\n')
        out.write('<laneSet id="LaneSet_%d">\n' % self.index)
        for k, lane_id in enumerate(self.lane_ids):
            out.write(f'<lane id="{lane_id}" name="Lane {k}">')
            for _, node_id, lane in self.nodes:
                if lane == k:
                    out.write(f"<flowNodeRef>{node_id}</flowNodeRef>")
            out.write("</lane>\n")
        out.write("</laneSet>\n")
        links = {}
        for flow_id, source, target, _ in self.flows:
            links.setdefault(source, []).append(f"<outgoing>{flow_id}</outgoing>")
            links.setdefault(target, []).insert(0, f"<incoming>{flow_id}</incoming>")
        for xml, node_id, _ in self.nodes:
            if node_id in links:
                opening = xml.index(">") + 1
                xml = xml[:opening] + "".join(links[node_id]) + xml[opening:]
            associations = self.doc.data_inputs.get(node_id)
            if associations:
                inner = "".join(f'<dataInputAssociation id="{a}"><sourceRef>{r}</sourceRef></dataInputAssociation>'
                                for a, r in associations)
                xml = xml[: xml.rindex("</")] + inner + xml[xml.rindex("</"):]
            out.write(xml + "\n")
        for flow_id, source, target, condition in self.flows:
            if condition:
                out.write(f'<sequenceFlow id="{flow_id}" sourceRef="{source}" targetRef="{target}">'
                          f'<conditionExpression xsi:type="tFormalExpression">{condition.replace(">", "&gt;")}'
                          f"</conditionExpression></sequenceFlow>\n")
            else:
                out.write(f'<sequenceFlow id="{flow_id}" sourceRef="{source}" targetRef="{target}"/>\n')
            self.doc.edges.append((flow_id, source, target))
        for xml in self.artifacts:
            out.write(xml + "\n")
        out.write("</process>\n")

    def bounds(self):
        width = 200 + (self.column + 4) * STEP
        return 100, self.top, width, 3 * LANE_HEIGHT


class Document:
    def __init__(self):
        self.serial = 0
        self.count = 0
        self.messages = 0
        self.edges = []
        self.centres = {}
        self.data_inputs = {}

    def next_id(self, prefix):
        self.serial += 1
        return f"{prefix}_{self.serial}"

    def message(self):
        self.messages += 1
        return f"Message_{self.messages}"


def generate(nodes, out):
    doc = Document()
    pool_count = 2 + nodes // 20000
    processes = [Process(doc, k) for k in range(pool_count)]
    for process in processes:
        process.build(nodes // pool_count)

    out.write('<?xml version="1.0" encoding="UTF-8"?>\n'
              '<definitions xmlns="http://www.omg.org/spec/BPMN/20100524/MODEL" '
              'xmlns:bpmndi="http://www.omg.org/spec/BPMN/20100524/DI" '
              'xmlns:dc="http://www.omg.org/spec/DD/20100524/DC" '
              'xmlns:di="http://www.omg.org/spec/DD/20100524/DI" '
              'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" '
              f'id="Generated_{nodes}" name="Generated {nodes}" targetNamespace="http://example.com/bench">\n')
    for k in range(1, doc.messages + 1):
        out.write(f'<message id="Message_{k}" name="Message {k}"/>\n')
    out.write('<collaboration id="Collaboration_1">\n')
    for process in processes:
        out.write(f'<participant id="{process.pool_id}" name="Pool {process.index}" processRef="{process.id}"/>\n')
    message_flows = []
    for a, b in zip(processes, processes[1:]):
        for send, receive in zip(a.sends, b.receives):
            flow_id = doc.next_id("MessageFlow")
            message_flows.append((flow_id, send, receive))
            out.write(f'<messageFlow id="{flow_id}" sourceRef="{send}" targetRef="{receive}"/>\n')
    out.write("</collaboration>\n")
    for process in processes:
        process.write_semantic(out)

    out.write('<bpmndi:BPMNDiagram id="Diagram_1" name="Generated">\n'
              '<bpmndi:BPMNPlane id="Plane_1" bpmnElement="Collaboration_1">\n')
    for process in processes:
        x, y, w, h = process.bounds()
        out.write(f'<bpmndi:BPMNShape id="{process.pool_id}_di" bpmnElement="{process.pool_id}" isHorizontal="true">'
                  f'<dc:Bounds x="{x}" y="{y}" width="{w}" height="{h}"/></bpmndi:BPMNShape>\n')
        for k, lane_id in enumerate(process.lane_ids):
            out.write(f'<bpmndi:BPMNShape id="{lane_id}_di" bpmnElement="{lane_id}" isHorizontal="true">'
                      f'<dc:Bounds x="{x + 30}" y="{y + k * LANE_HEIGHT}" width="{w - 30}" height="{LANE_HEIGHT}"/>'
                      f"</bpmndi:BPMNShape>\n")
        for node_id, sx, sy, sw, sh, extra in process.shapes:
            doc.centres[node_id] = (sx + sw // 2, sy + sh // 2)
            marker = ' isMarkerVisible="true"' if node_id.startswith("exclusiveGateway") else ""
            out.write(f'<bpmndi:BPMNShape id="{node_id}_di" bpmnElement="{node_id}"{extra}{marker}>'
                      f'<dc:Bounds x="{sx}" y="{sy}" width="{sw}" height="{sh}"/></bpmndi:BPMNShape>\n')
    for flow_id, source, target in doc.edges + message_flows:
        (x1, y1), (x2, y2) = doc.centres[source], doc.centres[target]
        out.write(f'<bpmndi:BPMNEdge id="{flow_id}_di" bpmnElement="{flow_id}">'
                  f'<di:waypoint x="{x1}" y="{y1}"/><di:waypoint x="{x2}" y="{y2}"/></bpmndi:BPMNEdge>\n')
    out.write("</bpmndi:BPMNPlane>\n</bpmndi:BPMNDiagram>\n</definitions>\n")
    return doc.count


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[2], "w", encoding="utf-8") as out:
        count = generate(int(sys.argv[1]), out)
    print(f"{sys.argv[2]}: {count} flow nodes", file=sys.stderr)


if __name__ == "__main__":
    main()
