// Just enough of the Baidu Maps API v3 for BMap.html. Conversions shift a point by
// (+0.001 lat, +0.002 lng); with fake.autoConvert false they wait until fake.complete(order)
// runs them (in "reverse" order, or as requested).
window.BMAP_NAVIGATION_CONTROL_LARGE = 'large';
window.BMap_Symbol_SHAPE_CIRCLE = 'circle';
window.fake = {map: null, autoConvert: true, conversions: [], batchSizes: []};
fake.complete = function (order) {
    var jobs = fake.conversions.splice(0);
    if (order === 'reverse') jobs.reverse();
    jobs.forEach(function (job) { job(); });
    return jobs.length;
};
// Event marks: markers drawn with a symbol, [lat, lng, shape].
fake.eventMarks = function () {
    return fake.map.overlays.filter(function (o) { return o instanceof BMap.Marker && o.options; })
        .map(function (m) { return [m.point.lat, m.point.lng, m.options.icon.shape]; });
};
// The vehicle: markers without options.
fake.markers = function () {
    return fake.map.overlays.filter(function (o) { return o instanceof BMap.Marker && !o.options; })
        .map(function (m) { return [m.point.lat, m.point.lng]; });
};
window.BMap = (function () {
    function Point(lng, lat) { this.lng = Number(lng); this.lat = Number(lat); }
    function Map(id) { this.overlays = []; fake.map = this; }
    Map.prototype.centerAndZoom = function (p, zoom) { this.center = p; this.zoom = zoom; };
    Map.prototype.setCenter = function (p) { this.center = p; };
    Map.prototype.getCenter = function () { return this.center; };
    Map.prototype.getZoom = function () { return this.zoom; };
    Map.prototype.addControl = function () {};
    Map.prototype.enableScrollWheelZoom = function () {};
    Map.prototype.enableKeyboard = function () {};
    Map.prototype.addOverlay = function (o) { this.overlays.push(o); };
    Map.prototype.removeOverlay = function (o) { this.overlays = this.overlays.filter(function (x) { return x !== o; }); };
    function NavigationControl() {}
    function Polyline(path, options) { this.path = path; this.options = options; }
    Polyline.prototype.setPath = function (path) { this.path = path; };
    Polyline.prototype.getPath = function () { return this.path; };
    Polyline.prototype.setStrokeOpacity = function (opacity) { this.options.strokeOpacity = opacity; };
    function Marker(point, options) { this.point = point; this.options = options; }
    function Symbol(shape, options) { this.shape = shape; this.options = options; }
    function Convertor() {}
    Convertor.prototype.translate = function (points, from, to, callback) {
        fake.batchSizes.push(points.length);
        var job = function () {
            callback({status: from === 1 && to === 5 ? 0 : 1,
                      points: points.map(function (p) { return new Point(p.lng + 0.002, p.lat + 0.001); })});
        };
        if (fake.autoConvert) setTimeout(job, 0);
        else fake.conversions.push(job);
    };
    return {Point: Point, Map: Map, NavigationControl: NavigationControl, Polyline: Polyline, Marker: Marker,
            Symbol: Symbol, Convertor: Convertor};
})();
true;
