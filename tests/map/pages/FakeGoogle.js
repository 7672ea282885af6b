// Just enough of the Google Maps API for gmap.html, recording what the page asked for.
window.fake = {maps: [], markers: [], lines: []};
window.google = {maps: (function () {
    function LatLng(lat, lng) { this.latValue = Number(lat); this.lngValue = Number(lng); }
    LatLng.prototype.lat = function () { return this.latValue; };
    LatLng.prototype.lng = function () { return this.lngValue; };
    function toLatLng(p) { return p instanceof LatLng ? p : new LatLng(p.lat, p.lng); }
    function MVCArray(items) { this.items = items; }
    MVCArray.prototype.getLength = function () { return this.items.length; };
    MVCArray.prototype.getArray = function () { return this.items; };

    function Map(div, options) {
        this.options = options;
        this.center = toLatLng(options.center);
        this.zoom = options.zoom;
        fake.maps.push(this);
    }
    Map.prototype.setCenter = function (c) { this.center = toLatLng(c); };
    Map.prototype.getCenter = function () { return this.center; };
    Map.prototype.getZoom = function () { return this.zoom; };
    function Marker(options) { this.options = options; this.position = toLatLng(options.position); fake.markers.push(this); }
    Marker.prototype.setPosition = function (p) { this.position = toLatLng(p); };
    Marker.prototype.setMap = function (map) { this.options.map = map; };
    function Polyline(options) { this.options = options; this.setPath(options.path || []); fake.lines.push(this); }
    Polyline.prototype.setPath = function (points) { this.path = new MVCArray(points.map(toLatLng)); };
    Polyline.prototype.getPath = function () { return this.path; };
    Polyline.prototype.setMap = function (map) { this.options.map = map; };
    Polyline.prototype.setOptions = function (options) { Object.assign(this.options, options); };
    return {Map: Map, Marker: Marker, Polyline: Polyline, MapTypeId: {ROADMAP: 'roadmap'}, SymbolPath: {CIRCLE: 0}};
})()};
true;
